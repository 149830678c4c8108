// What the host asks of the page (velmorat-page.js). Every call is queued
// onto the page's thread and returns at once: the page's thread never waits
// for ours, and ours never waits for a call to the page. Any thread.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/web/FrameRows.h"

namespace web::page {

// A toolbar button that chooses the menu item with this tag.
void addMenuItem(int tag, const std::string& titleUtf8);
void setTitle(const std::string& titleUtf8);
// The folder of the browser's storage whose saves the panels offer; made
// when missing.
void useSaveFolder(const std::string& path);
// Shows what changed in the frame of view 0 (text) or 1 (picture) in its
// canvas: the move of rows, then the band's pixels. The page takes the
// band's memory (from malloc), frees it, and says when it is shown
// (web_frame_shown).
void showFrame(int view, const FrameBand& band);
// The text window's lines as --dump-text writes them, one "\n" after each.
void setScreenText(const std::string& textUtf8);
// What the program waits for (0 nothing, 1 a key, 2 a line) as noticed after
// inputSeen of the page's input calls had been handled.
void setWaiting(int kind, int inputSeen);
// Shows the text window's past over its canvas: a bar with the mark on top,
// then the lines ("\n" after each); hidePast shows the live window again.
void showPast(const std::string& markUtf8, const std::string& linesUtf8);
void hidePast();
void addTranscriptLines(const std::vector<std::string>& linesUtf8);
// A panel; the page answers with web_panel_answer(id, path or "").
void openPanel(int id, bool saving, const std::string& title, const std::string& message,
               const std::string& proposedName, const std::string& allowedTypes);
void offerDownload(const std::string& path);
// Writes the saved files back to the browser's storage.
void syncStorage();
void showTextView(int window, const std::string& titleUtf8, const std::string& textUtf8);
void hideTextView(int window);
void copyText(const std::string& textUtf8);
void beep();
// A line of the diagnostic log for the browser's console: kept until
// flushConsole (at a wait, when many lines wait, or when the page asks a
// moment after the first), which writes them in one message.
void consoleLine(const std::string& lineUtf8);
void flushConsole();
void programEnded();

}  // namespace web::page
