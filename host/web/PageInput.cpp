// The page's calls into the program (velmorat-page.js calls them on the
// browser's main thread, which must not wait): each is queued as work for the
// host's main thread and returns at once. Calls before the host runs are
// dropped; the page sends nothing before the player acts.
#include <emscripten/emscripten.h>

#include <string>

#include "host/web/PageCalls.h"
#include "host/web/WebHost.h"

namespace {

template <typename Input>
void queueInput(Input input) {
  if (web::WebHost* host = web::WebHost::running())
    host->postInput([host, input = std::move(input)] { input(*host); });
}

}  // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE void web_key(const char* name, const char* text, int pageFlags) {
  queueInput([name = std::string(name), text = std::string(text), pageFlags](web::WebHost& host) {
    host.typeKey(name, text, pageFlags);
  });
}

EMSCRIPTEN_KEEPALIVE void web_text(const char* text) {
  queueInput([text = std::string(text)](web::WebHost& host) { host.typeText(text); });
}

EMSCRIPTEN_KEEPALIVE void web_paste(const char* text) {
  queueInput([text = std::string(text)](web::WebHost& host) { host.paste(text); });
}

EMSCRIPTEN_KEEPALIVE void web_command(const char* line) {
  queueInput([line = std::string(line)](web::WebHost& host) { host.typeCommand(line); });
}

EMSCRIPTEN_KEEPALIVE void web_menu(int tag) {
  queueInput([tag](web::WebHost& host) { host.chooseMenuItem(tag); });
}

EMSCRIPTEN_KEEPALIVE void web_panel_answer(int id, const char* path) {
  queueInput([id, path = std::string(path)](web::WebHost& host) { host.answerPanel(id, path); });
}

// Not counted as input: the page shows frames on its own.
EMSCRIPTEN_KEEPALIVE void web_frame_shown(int view) {
  if (web::WebHost* host = web::WebHost::running())
    host->post([host, view] { host->frameShown(view); });
}

// The wheel moves the host's view only: not input for the program either.
EMSCRIPTEN_KEEPALIVE void web_scroll_past(int lines) {
  if (web::WebHost* host = web::WebHost::running())
    host->post([host, lines] { host->scrollPast(lines); });
}

EMSCRIPTEN_KEEPALIVE void web_window_closed(int window) {
  if (web::WebHost* host = web::WebHost::running())
    host->post([host, window] { host->textViewClosed(window); });
}

// The page's timer after a log line: the lines still kept go to the console.
EMSCRIPTEN_KEEPALIVE void web_flush_console() {
  web::page::flushConsole();
}

}  // extern "C"
