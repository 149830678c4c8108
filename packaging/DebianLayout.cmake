# Run by CPack on the staged package tree before it is packed: Debian keeps
# the programs of games in /usr/games (policy 11.11), so the game moves there;
# velmorat-tool, a tool for authors, stays in /usr/bin. The game finds its
# resources from /usr/games as from /usr/bin: both are beside /usr/share.
file(GLOB_RECURSE staged_game LIST_DIRECTORIES false "${CPACK_TEMPORARY_DIRECTORY}/*/bin/velmorat")
if(NOT staged_game)
  message(FATAL_ERROR "no bin/velmorat below ${CPACK_TEMPORARY_DIRECTORY}")
endif()
foreach(game IN LISTS staged_game)
  get_filename_component(bin ${game} DIRECTORY)
  get_filename_component(prefix ${bin} DIRECTORY)
  file(MAKE_DIRECTORY ${prefix}/games)
  file(RENAME ${game} ${prefix}/games/velmorat)
endforeach()
