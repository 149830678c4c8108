// The page around the game: it checks that shared memory is available, loads
// the game's data and program, lays out the two windows, hands keys, the
// command line, the toolbar and the panels' answers to the program, and shows
// what the program sends back (window images, the screen's text, the
// transcript, panels, downloads). The program runs on threads of its own; the
// page's thread never waits for it: every call in either direction is queued.
'use strict';

(function () {
  const kWindowWidth = 1280;
  const kWindowHeight = 800;
  const kMaxUploadBytes = 4 * 1024 * 1024;  // a save is a few kilobytes
  const kStorageFolder = '/persist';
  let saveFolder = kStorageFolder + '/saves';  // the game's own (useSaveFolder)
  const kWaitingNames = ['', 'key', 'line'];
  const kWheelLines = 3;  // lines of the past per step of the mouse wheel
  const kConsoleFlushDelayMs = 250;  // longer than most commands: one message each

  const byId = (id) => document.getElementById(id);
  const screenText = byId('screen-text');
  const transcript = byId('transcript');
  const keyboard = byId('keyboard');
  const canvases = [byId('text-window'), byId('picture-window')];

  // What tests and measurements read: navigation-relative times in ms.
  const timings = { firstTitleMs: null, answersMs: [], animationFrames: 0 };
  window.velmoratTimings = timings;

  let inputSent = 0;        // input calls handed to the program
  let returnSentAt = null;  // when the last Return left, for the answer time
  let storageUsable = true;
  let storageNoteShown = false;
  let syncRunning = false;
  let syncAgain = false;

  function showNotice(text) {
    const notice = byId('notice');
    notice.textContent = text;
    notice.hidden = false;
  }

  // --- Shared memory --------------------------------------------------------
  // Threads need SharedArrayBuffer, which browsers give only to pages that are
  // cross-origin isolated. A host that cannot send the two headers gets them
  // from our service worker, which needs one reload to take over.
  function ensureIsolation() {
    if (window.crossOriginIsolated) return true;
    const triedKey = 'velmorat-service-worker-tried';
    const params = new URLSearchParams(location.search);
    if ('serviceWorker' in navigator && window.isSecureContext && !params.has('no-worker') &&
        !sessionStorage.getItem(triedKey)) {
      sessionStorage.setItem(triedKey, '1');
      navigator.serviceWorker.register('velmorat-sw.js').then(
          () => navigator.serviceWorker.ready).then(() => location.reload(),
          () => refuseWithoutIsolation());
      return false;
    }
    refuseWithoutIsolation();
    return false;
  }

  function refuseWithoutIsolation() {
    showNotice('Velmorat braucht geteilten Speicher, und den gibt der Browser dieser Seite ' +
               'nicht. Der Server muss die Seite mit den Kopfzeilen ' +
               '„Cross-Origin-Opener-Policy: same-origin“ und ' +
               '„Cross-Origin-Embedder-Policy: require-corp“ ausliefern, oder über https, ' +
               'damit der Service Worker der Seite sie ergänzen kann.');
    byId('screens').hidden = true;
    byId('command-line').hidden = true;
  }

  // --- Layout -------------------------------------------------------------
  // Side by side when that gives the windows more room, else the picture
  // above the text. Whole factors when they fit (pixel-exact); smaller
  // screens scale down smoothly, where dropped pixel rows would break glyphs.
  function layOut() {
    const screens = byId('screens');
    const gap = 4;  // between the windows (velmorat.css)
    const top = screens.getBoundingClientRect().top;
    const below = byId('command-line').getBoundingClientRect().height;
    const width = document.documentElement.clientWidth;
    const height = Math.max(window.innerHeight - top - below - 8, 100);
    const [text, picture] = canvases;
    const sideBySide = Math.min((width - gap) / (text.width + picture.width),
                                height / Math.max(text.height, picture.height));
    const stacked = Math.min(width / Math.max(text.width, picture.width),
                             (height - gap) / (text.height + picture.height));
    const across = sideBySide >= stacked;
    let scale = Math.max(sideBySide, stacked);
    if (scale >= 1) scale = Math.floor(scale);
    screens.classList.toggle('across', across);
    for (const canvas of canvases) {
      canvas.style.width = Math.floor(canvas.width * scale) + 'px';
      canvas.style.height = Math.floor(canvas.height * scale) + 'px';
      canvas.classList.toggle('exact', scale >= 1);
    }
  }

  // --- Input to the program ---------------------------------------------------
  function modifierFlags(event) {
    return (event.shiftKey ? 1 : 0) | (event.ctrlKey ? 2 : 0) | (event.altKey ? 4 : 0) |
           (event.metaKey ? 8 : 0);
  }

  function sent() {
    inputSent += 1;
    screenText.dataset.waiting = '';
  }

  function sendKey(name, text, flags) {
    sent();
    if (name === 'Enter') returnSentAt = performance.now();
    Module.ccall('web_key', null, ['string', 'string', 'number'], [name, text, flags]);
  }

  function sendText(text) {
    sent();
    Module.ccall('web_text', null, ['string'], [text]);
  }

  const namedKeys = new Set(['Enter', 'Backspace', 'Tab', 'Escape', 'ArrowUp', 'ArrowDown',
                             'ArrowLeft', 'ArrowRight', 'Home', 'End', 'PageUp', 'PageDown',
                             'Insert', 'Delete']);

  function onKeyDown(event) {
    if (event.isComposing || event.key === 'Dead') return;
    const flags = modifierFlags(event);
    if (namedKeys.has(event.key) || /^F[0-9]{1,2}$/.test(event.key)) {
      event.preventDefault();
      sendKey(event.key, '', flags);
      return;
    }
    // AltGr arrives as Control with Alt on some systems: its characters come
    // as text input. Control or Command with a letter is a control key,
    // except the paste shortcut, whose paste event follows.
    if ((event.ctrlKey || event.metaKey) && !event.altKey && event.key.length === 1) {
      if (event.key === 'v' || event.key === 'V') return;
      event.preventDefault();
      sendKey('', event.key, flags);
    }
  }

  function onTextInput() {
    const text = keyboard.value;
    keyboard.value = '';
    if (text) sendText(text);
  }

  function installInput() {
    keyboard.addEventListener('keydown', onKeyDown);
    keyboard.addEventListener('input', (event) => {
      if (!event.isComposing) onTextInput();
    });
    keyboard.addEventListener('compositionend', onTextInput);
    keyboard.addEventListener('paste', (event) => {
      event.preventDefault();
      sent();
      Module.ccall('web_paste', null, ['string'], [event.clipboardData.getData('text')]);
    });
    const textWindow = byId('text-window');
    textWindow.addEventListener('focus', () => keyboard.focus());
    // The wheel leafs through the past (the program decides whether there is one).
    textWindow.addEventListener('wheel', (event) => {
      if (!event.deltaY) return;
      event.preventDefault();
      const lines = event.deltaY < 0 ? kWheelLines : -kWheelLines;
      Module.ccall('web_scroll_past', null, ['number'], [lines]);
    }, { passive: false });
    textWindow.addEventListener('pointerdown', (event) => {
      event.preventDefault();
      keyboard.focus();
    });
    byId('command-line').addEventListener('submit', (event) => {
      event.preventDefault();
      const command = byId('command');
      sent();
      returnSentAt = performance.now();
      Module.ccall('web_command', null, ['string'], [command.value]);
      command.value = '';
    });
    byId('text-view-close').addEventListener('click', () => byId('text-view').close());
    byId('text-view').addEventListener('close', () => {
      Module.ccall('web_window_closed', null, ['number'], [Number(byId('text-view').dataset.window)]);
      keyboard.focus();
    });
    window.addEventListener('resize', layOut);
  }

  function chooseMenuItem(tag) {
    sent();
    Module.ccall('web_menu', null, ['number'], [tag]);
  }

  // --- Storage --------------------------------------------------------------
  // Saves and the last state live in IndexedDB below kStorageFolder: read
  // before the program starts, written back after the program wrote files.
  function storageFailed(error) {
    storageUsable = false;
    console.log('Storage: ' + error);
    if (storageNoteShown) return;
    storageNoteShown = true;
    showNotice('Der Browser speichert für diese Seite nichts (voller oder gesperrter Speicher, ' +
               'privates Fenster): Spielstände gehen beim Schließen der Seite verloren.');
  }

  function mountStorage() {
    for (const folder of [kStorageFolder]) FS.mkdir(folder);
    FS.mount(IDBFS, {}, kStorageFolder);
    addRunDependency('velmorat-storage');
    FS.syncfs(true, (error) => {
      if (error) storageFailed(error);
      for (const folder of [kStorageFolder + '/saves', kStorageFolder + '/state']) {
        try { FS.mkdir(folder); } catch (ignored) { /* already there */ }
      }
      syncedBefore = Date.now();
      if (restoreUnsynced()) syncStorage();
      removeRunDependency('velmorat-storage');
    });
    // The page's last moments: nothing can wait for IndexedDB then.
    window.addEventListener('pagehide', keepUnsynced);
    document.addEventListener('visibilitychange', () => {
      if (document.visibilityState === 'hidden') keepUnsynced();
    });
  }

  // A reload or a close right after a command comes before the sync has
  // written the last state: the files written since the last finished sync
  // go to localStorage, which writes at once, and come back into the storage
  // before the program starts the next time.
  const kUnsyncedKey = 'velmorat-unsynced';
  const kMaxUnsyncedBytes = 1024 * 1024;
  let syncedBefore = 0;  // files last changed before this time (ms) are in IndexedDB

  function filesChangedSince(folder, since, files) {
    for (const name of FS.readdir(folder)) {
      if (name === '.' || name === '..') continue;
      const path = folder + '/' + name;
      const status = FS.stat(path);
      if (FS.isDir(status.mode)) {
        filesChangedSince(path, since, files);
      } else if (FS.isFile(status.mode) && status.mtime.getTime() >= since) {
        files.push({ path, mtime: status.mtime.getTime() });
      }
    }
    return files;
  }

  function base64Of(bytes) {
    let text = '';
    for (let at = 0; at < bytes.length; at += 0x8000) {
      text += String.fromCharCode.apply(null, bytes.subarray(at, at + 0x8000));
    }
    return btoa(text);
  }

  function keepUnsynced() {
    if (!storageUsable) return;
    try {
      let bytes = 0;
      const files = filesChangedSince(kStorageFolder, syncedBefore, []).map((file) => {
        const data = FS.readFile(file.path);
        bytes += data.length;
        return { path: file.path, mtime: file.mtime, data: base64Of(data) };
      });
      if (files.length && bytes <= kMaxUnsyncedBytes) {
        localStorage.setItem(kUnsyncedKey, JSON.stringify(files));
      }
    } catch (error) {
      console.log('Storage: ' + error);
    }
  }

  // True when a kept file was newer than the storage's and took its place.
  function restoreUnsynced() {
    let files = [];
    try {
      files = JSON.parse(localStorage.getItem(kUnsyncedKey) || '[]');
      localStorage.removeItem(kUnsyncedKey);
    } catch (error) {
      return false;
    }
    let restored = false;
    for (const file of files) {
      try {
        let newer = true;
        try {
          newer = FS.stat(file.path).mtime.getTime() < file.mtime;
        } catch (missing) { /* the storage lacks it */ }
        if (!newer) continue;
        FS.createPath('/', file.path.substring(0, file.path.lastIndexOf('/')), true, true);
        FS.writeFile(file.path, Uint8Array.from(atob(file.data), (c) => c.charCodeAt(0)));
        FS.utime(file.path, file.mtime, file.mtime);
        syncedBefore = Math.min(syncedBefore, file.mtime);
        restored = true;
      } catch (error) {
        console.log('Storage: ' + file.path + ': ' + error);
      }
    }
    return restored;
  }

  // Asked for at every wait for a line (IndexedDB writes only what changed);
  // calls while one runs make one more. body[data-storage] says "busy"
  // while files go to storage, then "saved".
  function syncStorage() {
    if (!storageUsable) return;
    if (syncRunning) {
      syncAgain = true;
      return;
    }
    syncRunning = true;
    document.body.dataset.storage = 'busy';
    const startedAt = Date.now();
    FS.syncfs(false, (error) => {
      syncRunning = false;
      if (error) {
        storageFailed(error);
      } else {
        syncedBefore = startedAt;
        try {
          localStorage.removeItem(kUnsyncedKey);
        } catch (ignored) { /* nothing was kept there */ }
      }
      if (syncAgain) {
        syncAgain = false;
        syncStorage();
        return;
      }
      document.body.dataset.storage = storageUsable ? 'saved' : 'off';
    });
  }

  // Each game on this site keeps its saves in a folder of its own.
  function useSaveFolder(path) {
    saveFolder = path;
    FS.createPath('/', path, true, true);
  }

  // --- Panels ---------------------------------------------------------------
  function savedFiles(types) {
    const wanted = types ? types.split(',') : [];
    let names = [];
    try {
      names = FS.readdir(saveFolder).filter(
          (name) => FS.isFile(FS.stat(saveFolder + '/' + name).mode));
    } catch (error) {
      return [];
    }
    return names.filter((name) => !wanted.length ||
                                  wanted.some((type) => name.endsWith('.' + type))).sort();
  }

  function openPanel(id, saving, title, message, proposedName, types) {
    const dialog = byId('panel');
    const form = byId('panel-form');
    const name = byId('panel-name');
    const upload = byId('panel-upload');
    const files = byId('panel-files');
    const error = byId('panel-error');
    let answered = false;
    const answer = (path) => {
      if (answered) return;
      answered = true;
      form.onsubmit = null;
      upload.onchange = null;
      if (dialog.open) dialog.close();
      sent();
      Module.ccall('web_panel_answer', null, ['number', 'string'], [id, path]);
      keyboard.focus();
    };
    byId('panel-title').textContent = title;
    byId('panel-message').textContent = message;
    error.textContent = '';
    name.value = proposedName;
    for (const element of [name, byId('panel-name-label')]) element.hidden = !saving;
    for (const element of [upload, byId('panel-upload-label')]) element.hidden = saving;
    byId('panel-ok').hidden = !saving;
    files.replaceChildren();
    if (!saving) {
      const list = savedFiles(types);
      if (!list.length) files.textContent = 'Im Browser ist noch kein Spielstand gesichert.';
      for (const file of list) {
        const button = document.createElement('button');
        button.type = 'button';
        button.textContent = file;
        button.addEventListener('click', () => answer(saveFolder + '/' + file));
        files.appendChild(button);
      }
    }
    upload.value = '';
    upload.accept = types ? types.split(',').map((type) => '.' + type).join(',') : '';
    upload.onchange = () => {
      const file = upload.files[0];
      if (!file) return;
      if (file.size > kMaxUploadBytes) {
        error.textContent = 'Die Datei ist zu groß für einen Spielstand.';
        return;
      }
      file.arrayBuffer().then((bytes) => {
        const path = saveFolder + '/' + file.name.replace(/[\/\0]/g, '_');
        FS.writeFile(path, new Uint8Array(bytes));
        syncStorage();
        answer(path);
      }, () => {
        error.textContent = 'Die Datei kann nicht gelesen werden.';
      });
    };
    form.onsubmit = (event) => {
      event.preventDefault();
      let chosen = name.value.trim().replace(/[\/\0]/g, '_');
      if (!chosen) return;
      // The name gets the first allowed type unless it has one of them.
      const allowed = types ? types.split(',') : [];
      if (allowed.length && !allowed.some((type) => chosen.endsWith('.' + type))) {
        chosen += '.' + allowed[0];
      }
      answer(saveFolder + '/' + chosen);
    };
    byId('panel-cancel').onclick = () => answer('');
    dialog.oncancel = () => answer('');
    dialog.showModal();
    (saving ? name : files.querySelector('button') || upload).focus();
  }

  // A file the program wrote, offered as a download by a link in the toolbar.
  function offerDownload(path) {
    let bytes;
    try {
      bytes = FS.readFile(path);
    } catch (error) {
      return;
    }
    const link = byId('download');
    if (link.href) URL.revokeObjectURL(link.href);
    const name = path.substring(path.lastIndexOf('/') + 1);
    link.href = URL.createObjectURL(new Blob([bytes], { type: 'application/octet-stream' }));
    link.download = name;
    link.textContent = name + ' herunterladen';
    link.hidden = false;
  }

  // --- Output of the program ----------------------------------------------------
  let past = null;      // the text window's past while shown: { mark, lines }
  let liveText = null;  // the text window's live frame while its past is shown

  // What changed since the frame before (the first frame of a size is
  // whole): moveRows rows from moveTop + moveBy on move up to moveTop (a
  // scrolling text window), then the rows from top on take the pixels.
  function showFrame(view, pixels, width, height, top, rows, moveTop, moveRows, moveBy) {
    const canvas = canvases[view];
    if (!canvas) return;
    if (canvas.width !== width || canvas.height !== height) {
      canvas.width = width;
      canvas.height = height;
      layOut();
      if (view === 0 && past) {
        liveText = new ImageData(width, height);
        drawPast();
      }
    }
    const row = width * 4;
    if (view === 0 && past) {
      if (moveBy) {
        liveText.data.copyWithin(moveTop * row, (moveTop + moveBy) * row,
                                 (moveTop + moveBy + moveRows) * row);
      }
      liveText.data.set(pixels, top * row);
      return;
    }
    const context = canvas.getContext('2d');
    if (moveBy) {
      context.drawImage(canvas, 0, moveTop + moveBy, width, moveRows, 0, moveTop, width, moveRows);
    }
    context.putImageData(new ImageData(pixels, width, rows), 0, top);
  }

  // The past in the game's colours: white on black under a yellow bar with
  // the mark, in lines as tall as the window's rows.
  function drawPast() {
    const canvas = canvases[0];
    const context = canvas.getContext('2d');
    const rows = past.lines.length + 1;
    const lineHeight = canvas.height / rows;
    let fontSize = Math.max(1, Math.floor(lineHeight * 0.8));
    context.font = fontSize + 'px monospace';
    const widest = context.measureText('M'.repeat(80)).width;
    if (widest > canvas.width) {
      fontSize = Math.max(1, Math.floor(fontSize * canvas.width / widest));
      context.font = fontSize + 'px monospace';
    }
    context.fillStyle = '#000';
    context.fillRect(0, 0, canvas.width, canvas.height);
    context.fillStyle = '#ff0';
    context.fillRect(0, 0, canvas.width, lineHeight);
    context.textBaseline = 'middle';
    context.textAlign = 'center';
    context.fillStyle = '#000';
    context.fillText(past.mark, canvas.width / 2, lineHeight / 2);
    context.textAlign = 'left';
    context.fillStyle = '#fff';
    past.lines.forEach((line, index) => {
      context.fillText(line, canvas.width / 80, (index + 1.5) * lineHeight);
    });
  }

  function showPast(mark, lines) {
    const canvas = canvases[0];
    if (!past) liveText = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height);
    past = { mark, lines };
    byId('past-mark').textContent = mark;
    canvases[0].dataset.past = mark;
    drawPast();
  }

  function hidePast() {
    if (!past) return;
    past = null;
    byId('past-mark').textContent = '';
    delete canvases[0].dataset.past;
    canvases[0].getContext('2d').putImageData(liveText, 0, 0);
    liveText = null;
  }

  function setScreenText(text) {
    if (screenText.textContent === text) return;
    screenText.textContent = text;
    if (timings.firstTitleMs === null && text.includes('Velmorat')) {
      timings.firstTitleMs = performance.now();
    }
  }

  function setWaiting(waiting, inputSeen) {
    // A wait noticed before input that is still on its way is no wait.
    if (inputSeen !== inputSent) return;
    const name = kWaitingNames[waiting] || '';
    if (name === 'line' && returnSentAt !== null) {
      timings.answersMs.push(performance.now() - returnSentAt);
      returnSentAt = null;
    }
    screenText.dataset.waiting = name;
  }

  function addLog(lines) {
    for (const line of lines) {
      const entry = document.createElement('p');
      entry.textContent = line;
      transcript.appendChild(entry);
    }
    // A bounded transcript: the oldest lines leave the page.
    while (transcript.childElementCount > 2000) transcript.firstElementChild.remove();
  }

  function addMenuItem(tag, title) {
    const button = document.createElement('button');
    button.type = 'button';
    button.textContent = title;
    button.dataset.tag = String(tag);
    button.addEventListener('click', () => {
      chooseMenuItem(tag);
      keyboard.focus();
    });
    byId('menu-buttons').appendChild(button);
  }

  function showTextView(window, title, text) {
    const dialog = byId('text-view');
    dialog.dataset.window = String(window);
    byId('text-view-title').textContent = title;
    byId('text-view-text').textContent = text;
    if (!dialog.open) dialog.showModal();
    const shown = byId('text-view-text');
    shown.scrollTop = shown.scrollHeight;
  }

  function hideTextView(window) {
    const dialog = byId('text-view');
    if (dialog.open && dialog.dataset.window === String(window)) dialog.close();
  }

  // The toolbox ends lines with CR, the desktop it was made for.
  function copyText(text) {
    if (!navigator.clipboard) return;
    navigator.clipboard.writeText(text.replace(/\r\n?/g, '\n')).catch(() => {});
  }

  let audio = null;
  function beep() {
    try {
      audio = audio || new AudioContext();
      const tone = audio.createOscillator();
      const volume = audio.createGain();
      volume.gain.value = 0.1;
      tone.frequency.value = 880;
      tone.connect(volume).connect(audio.destination);
      tone.start();
      tone.stop(audio.currentTime + 0.08);
    } catch (error) {
      /* no sound here */
    }
  }

  // The program's log lines wait for its next wait, which a program that
  // trapped or runs in circles never reaches: fetched after a moment.
  let consoleFlushArmed = false;
  function flushConsoleSoon() {
    if (consoleFlushArmed) return;
    consoleFlushArmed = true;
    setTimeout(() => {
      consoleFlushArmed = false;
      try {
        Module.ccall('web_flush_console', null, [], []);
      } catch (error) {
        console.log('Log: ' + error);
      }
    }, kConsoleFlushDelayMs);
  }

  function programEnded() {
    screenText.dataset.ended = 'true';
    showNotice('Das Programm ist beendet. Neu laden beginnt ein neues Spiel.');
  }

  // Called by the program (queued onto this thread).
  window.VelmoratPage = {
    useSaveFolder, showFrame, showPast, hidePast, setScreenText, setWaiting, addLog, copyText, addMenuItem,
    openPanel, offerDownload, syncStorage, showTextView, hideTextView, beep, programEnded,
    flushConsoleSoon, setTitle: (title) => { document.title = title; },
  };

  // Counted so that a test can tell an idle page from one that animates.
  const requestFrame = window.requestAnimationFrame.bind(window);
  window.requestAnimationFrame = (callback) => {
    timings.animationFrames += 1;
    return requestFrame(callback);
  };

  function loadScript(source) {
    const script = document.createElement('script');
    script.src = source;
    script.async = false;
    document.body.appendChild(script);
  }

  function start() {
    layOut();
    if (!ensureIsolation()) return;
    installInput();
    window.Module = {
      preRun: [mountStorage],
      print: (line) => console.log(line),
      printErr: (line) => console.warn(line),
      onAbort: (what) => showNotice('Velmorat ist abgestürzt: ' + what),
    };
    loadScript('game-data.js');
    loadScript('velmorat.js');
    keyboard.focus();
  }

  if (document.readyState === 'loading') {
    document.addEventListener('DOMContentLoaded', start);
  } else {
    start();
  }
})();
