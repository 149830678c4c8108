# Compiler and linker flags of the browser version (Emscripten). Threads are
# Web Workers sharing the memory. Exceptions go through JavaScript: this
# Emscripten's WebAssembly exceptions let a catch clause miss its own type
# (the program thread's ProgramThreadExit, a damaged save's parse error).
set(VELMORAT_WEB_FLAGS -pthread -fexceptions)
add_compile_options(${VELMORAT_WEB_FLAGS})
add_link_options(${VELMORAT_WEB_FLAGS})

# The program: main runs on a thread of its own (the host's main thread,
# which may wait), the page's thread only draws and takes input. The pool
# holds the threads that start at once (host, program, refresh, a worker for
# menu events) so none waits for the page to make one. 64 MiB hold the
# 16 MiB video memory, the stacks and the game; the filesystem keeps saves in
# IndexedDB. The page calls the exported functions (host/web/PageInput.cpp).
set(VELMORAT_WEB_EXPORTS _main _malloc _free _web_key _web_text _web_paste _web_command
  _web_menu _web_panel_answer _web_frame_shown _web_scroll_past _web_window_closed
  _web_flush_console)
list(JOIN VELMORAT_WEB_EXPORTS "," VELMORAT_WEB_EXPORT_LIST)
set(VELMORAT_WEB_PROGRAM_FLAGS
  -sPROXY_TO_PTHREAD=1
  -sPTHREAD_POOL_SIZE=6
  -sINITIAL_MEMORY=64MB
  -sALLOW_MEMORY_GROWTH=0
  -sEXIT_RUNTIME=0
  -sENVIRONMENT=web,worker
  -sFORCE_FILESYSTEM=1
  -lidbfs.js
  -sEXPORTED_FUNCTIONS=${VELMORAT_WEB_EXPORT_LIST}
  -sEXPORTED_RUNTIME_METHODS=ccall,FS,UTF8ToString)
