// The browser version in Debian's Chromium, driven by puppeteer-core: one
// harness, one case per run (CTest's web_ tests).
//   node site_test.mjs CASE SITE OUT [DESKTOP BUNDLE | KEYS]
// Cases: keyboard, touch (the walkthrough wins), saves (reload, continue,
// desktop <-> browser), comfort, storage, reload (at once after a command or
// a move taken back), games (two games on one site), layout (screenshots at
// two sizes), isolation (the page without shared memory), exported (a site
// of velmorat-tool export --web: the key file KEYS plays to the end its
// "# ends:" line names). Exit status 77: the site, the driver or
// Chromium is missing (the test is skipped).
import { spawn, execFileSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import zlib from 'node:zlib';
import { fileURLToPath } from 'node:url';

const here = path.dirname(fileURLToPath(import.meta.url));
const source = path.resolve(here, '../..');
const [caseName, site, out, desktop, bundle] = process.argv.slice(2);
const kChromium = process.env.VELMORAT_CHROMIUM || '/usr/bin/chromium';
const kWin = 'Du hast Velmorat gewonnen.';
const kContinue = 'Möchtest Du dort weiterspielen';
const kStepTimeoutMs = 20000;

function skip(reason) {
  console.log(`SKIPPED: ${reason}`);
  process.exit(77);
}

if (!site || !fs.existsSync(path.join(site, 'index.html'))) skip(`no site in ${site} (make web)`);
if (!fs.existsSync(kChromium)) skip(`no Chromium at ${kChromium} (make web installs it)`);
let puppeteer;
try {
  puppeteer = (await import('puppeteer-core')).default;
} catch (error) {
  skip('puppeteer-core is not installed (make web runs npm ci in tests/web)');
}
fs.mkdirSync(out, { recursive: true });

function check(condition, what) {
  if (!condition) throw new Error(`failed: ${what}`);
}

// The site (or a folder of sites) served as `make serve-web` serves it, on a free port.
function serve(extra = [], folder = site) {
  const server = spawn('python3', [path.join(source, 'scripts/serve-web.py'), folder, '0', ...extra],
                       { stdio: ['ignore', 'pipe', 'inherit'] });
  return new Promise((resolve, reject) => {
    server.stdout.once('data', (line) => {
      const address = String(line).match(/http:\/\/[0-9.:]+\//);
      if (address) resolve({ server, address: address[0] });
      else reject(new Error(`server said ${line}`));
    });
    server.once('exit', (code) => reject(new Error(`server ended with ${code}`)));
  });
}

async function openBrowser() {
  return puppeteer.launch({
    executablePath: kChromium,
    headless: true,
    userDataDir: path.join(out, 'profile'),
    args: ['--no-sandbox', '--disable-gpu', '--no-first-run', '--mute-audio'],
  });
}

// Until the program waits for input, or has ended.
async function waitForInput(page, kinds = ['line', 'key']) {
  await page.waitForFunction((wanted) => {
    const screen = document.getElementById('screen-text');
    return wanted.includes(screen.dataset.waiting) || screen.dataset.ended === 'true';
  }, { timeout: kStepTimeoutMs, polling: 'mutation' }, kinds);
}

const lastLine = (text) => text.trimEnd().split('\n').pop();
const screenText = (page) => page.$eval('#screen-text', (element) => element.textContent);

async function openGame(page, address) {
  await page.goto(address);
  await waitForInput(page);
}

function walkthroughLines() {
  return fs.readFileSync(path.join(source, 'game/tests/walkthrough.keys'), 'utf8').split('\n')
      .slice(0, -1);
}

async function typeLine(page, line, byTouch) {
  if (byTouch) {
    await page.type('#command', line);
    await page.click('#command-line button[type=submit]');
  } else {
    await page.keyboard.type(line);
    await page.keyboard.press('Enter');
  }
  await waitForInput(page);
}

// Past the title and the introduction to the first command prompt.
async function reachPrompt(page) {
  while (await page.$eval('#screen-text', (element) => element.dataset.waiting) !== 'line')
    await typeLine(page, '');
}

// Yes to the game's question whether to continue (Return says yes), up to
// the continued game's prompt.
async function continueGame(page) {
  await waitForInput(page);
  for (let tries = 0; tries < 3 && !(await screenText(page)).includes(kContinue); ++tries)
    await typeLine(page, '');
  check((await screenText(page)).includes(kContinue), 'the game asks to continue');
  await typeLine(page, '');
  await reachPrompt(page);
  await page.waitForFunction(() => document.getElementById('screen-text').textContent
                                 .includes('Letzter Stand geladen.'), { timeout: kStepTimeoutMs });
  await waitForInput(page);
}

async function reloadAndContinue(page) {
  await page.reload();
  await continueGame(page);
}

async function inventory(page) {
  await typeLine(page, 'in');
  return (await screenText(page)).split('\n').filter((line) => line.startsWith('Du trägst')).pop();
}

async function savedNames(page) {
  await page.click('button[data-tag="100"]');
  await page.waitForSelector('#panel', { visible: true });
  const names = await page.$$eval('#panel-files button', (buttons) => buttons.map((b) => b.textContent));
  await page.click('#panel-cancel');
  await waitForInput(page);
  return names;
}

async function saveAs(page, name) {
  await page.click('button[data-tag="101"]');
  await page.waitForSelector('#panel-name', { visible: true });
  await page.$eval('#panel-name', (field, chosen) => { field.value = chosen; }, name);
  await page.click('#panel-ok');
  await page.waitForSelector('#download:not([hidden])');
}

async function playWalkthrough(page, byTouch) {
  for (const line of walkthroughLines()) await typeLine(page, line, byTouch);
  check((await screenText(page)).includes(kWin), 'the walkthrough wins');
}

function median(values) {
  const sorted = [...values].sort((a, b) => a - b);
  return sorted[Math.floor(sorted.length / 2)];
}

// Transfer size of the site as served with gzip, by part.
function transferSizes() {
  const sizes = {};
  for (const name of fs.readdirSync(site)) {
    const gzipped = zlib.gzipSync(fs.readFileSync(path.join(site, name)), { level: 6 }).length;
    const part = name.endsWith('.wasm') ? 'wasm' : name.endsWith('.data') ? 'data' : 'js+page';
    sizes[part] = (sizes[part] || 0) + gzipped;
  }
  sizes.total = Object.values(sizes).reduce((a, b) => a + b, 0);
  return sizes;
}

const cases = {
  async keyboard(page, address) {
    await openGame(page, address);
    // An umlaut typed as such reaches the game as that umlaut.
    await reachPrompt(page);
    await typeLine(page, 'nimm münze');
    check((await screenText(page)).includes('>>> Befehl ? nimm münze'), 'umlaut echoed');
    const idleFrames = await page.evaluate(() => velmoratTimings.animationFrames);
    await new Promise((resolve) => setTimeout(resolve, 1500));
    check(await page.evaluate(() => velmoratTimings.animationFrames) === idleFrames,
          'no animation frames while idle at the prompt');
    // A fresh game: without the last state, nothing asks to continue. The
    // page holds the store open, so it goes when the page does; an open
    // waits for a deletion asked for before it.
    await page.evaluate(() => { indexedDB.deleteDatabase('/persist'); });
    await page.goto('about:blank');
    await openGame(page, address);
    let consoleMessages = 0;
    page.on('console', () => { consoleMessages += 1; });
    await playWalkthrough(page, false);
    console.log(`console messages: ${consoleMessages} over ${walkthroughLines().length} commands`);
    if (desktop) {
      // The text window's canvas, built from changed and moved rows over the
      // whole walkthrough, shows what the desktop's window holds.
      const picture = path.join(out, 'desktop-window0.png');
      execFileSync(desktop, ['--bundle', bundle, '--headless', '--keys',
                             path.join(source, 'game/tests/walkthrough.keys'),
                             '--dump-window', '0', picture], { stdio: 'pipe' });
      const differing = await page.evaluate(async (png) => {
        const image = new Image();
        image.src = 'data:image/png;base64,' + png;
        await image.decode();
        const canvas = document.getElementById('text-window');
        const expected = document.createElement('canvas');
        [expected.width, expected.height] = [image.width, image.height];
        expected.getContext('2d').drawImage(image, 0, 0);
        const want = expected.getContext('2d').getImageData(0, 0, image.width, image.height).data;
        const have = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data;
        if (want.length !== have.length) return -1;
        let count = 0;
        for (let at = 0; at < want.length; ++at) if (want[at] !== have[at]) ++count;
        return count;
      }, fs.readFileSync(picture).toString('base64'));
      check(differing === 0, `the text window's canvas is the desktop's window (${differing})`);
    }
    const timings = await page.evaluate(() => velmoratTimings);
    check((await page.$$eval('#transcript p', (lines) => lines.length)) > 50, 'transcript');
    console.log(`first title screen: ${timings.firstTitleMs.toFixed(0)} ms after navigation`);
    console.log(`answers: median ${median(timings.answersMs).toFixed(1)} ms over ` +
                `${timings.answersMs.length} commands`);
    console.log(`transfer sizes (gzip): ${JSON.stringify(transferSizes())}`);
  },

  async touch(page, address) {
    await openGame(page, address);
    await playWalkthrough(page, true);
  },

  async saves(page, address) {
    await openGame(page, address);
    await reachPrompt(page);
    for (const line of ['nimm münze', 'such briefkasten', 'nimm torschlüssel'])
      await typeLine(page, line);
    await saveAs(page, 'test');
    check((await screenText(page)).includes('Spielstand gesichert: test.velmorat'), 'saved');
    const saved = await page.$eval('#download', async (link) =>
      Array.from(new Uint8Array(await (await fetch(link.href)).arrayBuffer())));
    const browserSave = path.join(out, 'browser.velmorat');
    fs.writeFileSync(browserSave, Buffer.from(saved));

    // The last state and the saves survive a reload.
    await page.waitForSelector('body[data-storage="saved"]');
    await reloadAndContinue(page);
    check((await savedNames(page)).includes('test.velmorat'), 'the save is listed after the reload');

    if (!desktop) return;
    // The browser's save in the desktop's headless program, and back.
    const keys = path.join(out, 'desktop.keys');
    const dump = path.join(out, 'desktop.txt');
    fs.writeFileSync(keys, '\n');
    execFileSync(desktop, ['--bundle', bundle, '--headless', '--keys', keys, '--dump-text', dump,
                           browserSave]);
    check(fs.readFileSync(dump, 'utf8').includes('Spielstand geladen: browser.velmorat'),
          'the desktop loads the browser\'s save');
    const desktopSave = path.join(out, 'desktop.velmorat');
    fs.rmSync(desktopSave, { force: true });
    fs.writeFileSync(keys, '\nnimm münze\n{Menu 101}\n');
    execFileSync(desktop, ['--bundle', bundle, '--headless', '--keys', keys, '--panel-answer',
                           desktopSave, '--dump-text', dump]);
    const damaged = path.join(out, 'damaged.velmorat');
    fs.writeFileSync(damaged, 'kein Spielstand');
    for (const [file, answer] of [[desktopSave, 'Spielstand geladen: desktop.velmorat'],
                                  [damaged, 'Spielstand nicht geladen: damaged.velmorat']]) {
      await waitForInput(page);
      await page.click('button[data-tag="100"]');
      const upload = await page.waitForSelector('#panel-upload', { visible: true });
      await upload.uploadFile(file);
      await page.waitForFunction((text) => document.getElementById('screen-text').textContent
                                     .includes(text), { timeout: kStepTimeoutMs }, answer);
    }
  },

  // At the prompt of a game that offers them: commands typed out of habit,
  // the history on Up, and the text window's past by Page Up and the wheel,
  // a view of the page that the program never sees.
  async comfort(page, address) {
    await openGame(page, address);
    await reachPrompt(page);
    await typeLine(page, 'hilfe');
    check((await screenText(page)).includes('sichern, laden, rückgängig'), 'help on saving');
    await typeLine(page, 'z');
    check((await screenText(page)).includes('Die Nacht ist still.'), 'z lets a turn pass');
    await page.keyboard.press('ArrowUp');
    await waitForInput(page);
    check(lastLine(await screenText(page)) === '>>> Befehl ? z', 'Up recalls the command');
    await page.keyboard.press('Enter');
    await waitForInput(page);

    const live = await screenText(page);
    const pastMark = () => page.$eval('#text-window', (canvas) => canvas.dataset.past || '');
    await page.keyboard.press('PageUp');
    await page.waitForSelector('#text-window[data-past]');
    check((await pastMark()).includes('Zeilen zurück'), 'the mark of the past');
    await page.screenshot({ path: path.join(out, 'past.png') });
    check(await screenText(page) === live, 'the program sees the live screen');
    await page.keyboard.press('ArrowRight');  // any other key: back to the live screen
    await page.waitForSelector('#text-window:not([data-past])');
    const box = await (await page.$('#text-window')).boundingBox();
    await page.mouse.move(box.x + box.width / 2, box.y + box.height / 2);
    await page.mouse.wheel({ deltaY: -100 });
    await page.waitForSelector('#text-window[data-past]');
    await page.mouse.wheel({ deltaY: 100 });
    await page.waitForSelector('#text-window:not([data-past])');
  },

  // Storage the browser refuses (a private window): said once, and the game
  // goes on in memory.
  async storage(page, address) {
    await page.evaluateOnNewDocument(() => {
      IDBFactory.prototype.open = () => {
        throw new DOMException('The operation is insecure.', 'SecurityError');
      };
    });
    await openGame(page, address);
    await reachPrompt(page);
    for (const line of ['nimm münze', 'such briefkasten']) await typeLine(page, line);
    check((await screenText(page)).includes('>>> Befehl ? such briefkasten'), 'the game goes on');
    const notices = await page.$$eval('#notice:not([hidden])', (shown) => shown.map((n) => n.textContent));
    check(notices.length === 1 && notices[0].includes('speichert für diese Seite nichts'),
          'one German notice');
  },

  // A reload at once after a command, and after taking a move back from the
  // toolbar: the continued game is where the player left it.
  async reload(page, address) {
    await openGame(page, address);
    await reachPrompt(page);
    await typeLine(page, 'nimm münze');
    await reloadAndContinue(page);
    check((await inventory(page)).includes('Münze'), 'the command before the reload counts');
    for (const line of ['such briefkasten', 'nimm torschlüssel']) await typeLine(page, line);
    await page.click('button[data-tag="300"]');
    await page.waitForFunction(() => document.getElementById('screen-text').textContent
                                   .includes('Zurückgenommen: nimm torschlüssel'),
                               { timeout: kStepTimeoutMs });
    await waitForInput(page, ['line']);
    await reloadAndContinue(page);
    const carried = await inventory(page);
    check(carried.includes('Münze') && !carried.includes('Torschlüssel'),
          `the move taken back stays taken back (${carried})`);
  },

  // Two games on one site (one origin): each keeps its own last state and saves.
  async games(page) {
    const folder = path.join(out, 'sites');
    const other = path.join(out, 'other.app');
    fs.rmSync(folder, { recursive: true, force: true });
    fs.rmSync(other, { recursive: true, force: true });
    // The first game at the top, the other in a folder below it.
    fs.mkdirSync(folder);
    for (const name of fs.readdirSync(site))
      fs.symlinkSync(path.resolve(site, name), path.join(folder, name));
    fs.cpSync(path.join(bundle, 'Contents/Resources'), path.join(other, 'Contents/Resources'),
              { recursive: true });
    const info = path.join(other, 'Contents/Resources/game.ini');
    fs.writeFileSync(info, fs.readFileSync(info, 'utf8').replace(/^id = .*$/m, 'id = de.example.truhe')
                               .replace(/^title = .*$/m, 'title = Die Truhe'));
    execFileSync('sh', [path.join(source, 'scripts/web-site.sh'), path.dirname(path.resolve(site)),
                        other, path.join(folder, 'truhe')], { stdio: 'pipe' });
    const { server, address } = await serve([], folder);
    try {
      // Saves from before each game had a folder of its own: the first game
      // to start takes those that name no other game.
      await openGame(page, address);
      await page.evaluate(() => new Promise((resolve) => {
        Module.FS.rmdir('/persist/saves/velmorat');
        Module.FS.writeFile('/persist/saves/alt.velmorat', 'Velmorat-Spielstand 2\ndata 0\n');
        Module.FS.writeFile('/persist/saves/truhe-alt.velmorat',
                            'Velmorat-Spielstand 2\ngame de.example.truhe\n');
        Module.FS.syncfs(false, resolve);
      }));
      await openGame(page, address);
      await reachPrompt(page);
      await typeLine(page, 'nimm münze');
      await saveAs(page, 'velmorat-stand');
      await page.waitForSelector('body[data-storage="saved"]');
      await openGame(page, `${address}truhe/`);
      check((await page.title()).includes('Die Truhe'), 'the second game is the other game');
      check(!(await screenText(page)).includes(kContinue), 'the other game offers no last state');
      await reachPrompt(page);
      const otherNames = await savedNames(page);
      check(!otherNames.includes('velmorat-stand.velmorat') && !otherNames.includes('alt.velmorat'),
            'the other game lists no save of the first');
      check(otherNames.includes('truhe-alt.velmorat'), 'the other game takes its earlier save');
      await page.goto(address);
      await continueGame(page);
      const firstNames = await savedNames(page);
      check(firstNames.includes('velmorat-stand.velmorat') && firstNames.includes('alt.velmorat') &&
            !firstNames.includes('truhe-alt.velmorat'), 'the first keeps its saves');
    } finally {
      server.kill();
    }
  },

  async layout(page, address) {
    for (const [width, height, name] of [[1366, 768, 'desktop'], [390, 844, 'phone']]) {
      await page.setViewport({ width, height, isMobile: name === 'phone' });
      await openGame(page, address);
      await reachPrompt(page);
      const boxes = await page.$$eval('canvas', (canvases) => canvases.map((canvas) => {
        const box = canvas.getBoundingClientRect();
        return { id: canvas.id, left: box.left, top: box.top, right: box.right,
                 bottom: box.bottom };
      }));
      for (const box of boxes) {
        check(box.left >= 0 && box.top >= 0 && box.right <= width && box.bottom <= height &&
              box.right - box.left > 50, `${box.id} whole and visible at ${width}x${height}`);
      }
      const [text, picture] = [boxes.find((b) => b.id === 'text-window'),
                               boxes.find((b) => b.id === 'picture-window')];
      check(text.top >= picture.bottom || text.left >= picture.right,
            `the windows do not overlap at ${width}x${height}`);
      await page.screenshot({ path: path.join(out, `${name}.png`) });
      console.log(`${name} ${width}x${height}: ${JSON.stringify(boxes)}`);
    }
  },

  // Typed as velmorat-tool test types a key file: "Weiter..." gets a Return
  // of its own first, comment lines are not typed.
  async exported(page, address) {
    const keysFile = desktop;
    const lines = fs.readFileSync(keysFile, 'utf8').split('\n');
    const ends = lines.find((line) => line.startsWith('# ends: '));
    check(ends !== undefined, `${keysFile} has a "# ends:" line`);
    await openGame(page, address);
    for (const line of lines.filter((text) => text !== '' && !text.startsWith('#'))) {
      while (lastLine(await screenText(page)).includes('Weiter...')) await typeLine(page, '');
      await typeLine(page, line);
    }
    check((await screenText(page)).includes(ends.slice('# ends: '.length)),
          `the game ends with "${ends}"`);
  },

  async isolation(page) {
    const { server, address } = await serve(['--no-isolation']);
    try {
      await page.goto(`${address}?no-worker`);
      await page.waitForSelector('#notice:not([hidden])');
      check((await page.$eval('#notice', (n) => n.textContent))
                .includes('Cross-Origin-Embedder-Policy: require-corp'), 'German notice');
    } finally {
      server.kill();
    }
  },
};

if (caseName === 'games' && !bundle) skip('no desktop bundle to make a second game from');
if (!cases[caseName]) {
  console.error(`unknown case ${caseName}; one of ${Object.keys(cases).join(', ')}`);
  process.exit(2);
}
fs.rmSync(path.join(out, 'profile'), { recursive: true, force: true });
const { server, address } = await serve();
const browser = await openBrowser();
let failed = false;
const page = await browser.newPage();
page.on('pageerror', (error) => console.error(`page error: ${error.message}`));
try {
  await cases[caseName](page, address);
} catch (error) {
  console.error(error.stack || String(error));
  console.error('The page showed:\n' + await screenText(page).catch(() => '(nothing)'));
  await page.screenshot({ path: path.join(out, 'failure.png') }).catch(() => {});
  failed = true;
} finally {
  await browser.close();
  server.kill();
}
console.log(failed ? '0 passed, 1 failed' : '1 passed, 0 failed');
process.exit(failed ? 1 : 0);
