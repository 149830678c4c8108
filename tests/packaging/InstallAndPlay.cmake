# Installs the build into a fresh prefix and plays the installed game there:
# the installed velmorat must find its resources from its own folder (no
# --bundle), and velmorat-tool must accept the installed data.
# cmake -DBUILD=dir -DPREFIX=dir -DAPP_ID=id -DKEYS=walkthrough.keys -DLINES=n
#       -DEXPECT=text -DVISIT=000,001,... [-DAPPSTREAMCLI=program] -P InstallAndPlay.cmake
# With APPSTREAMCLI the installed tree is validated as software centres read
# it: the AppStream data must find their desktop entry.
foreach(required BUILD PREFIX APP_ID KEYS LINES EXPECT VISIT)
  if(NOT DEFINED ${required})
    message(FATAL_ERROR "InstallAndPlay.cmake needs -D${required}=...")
  endif()
endforeach()

include(${CMAKE_CURRENT_LIST_DIR}/../../cmake/ScriptChecks.cmake)

file(REMOVE_RECURSE ${PREFIX})
velmorat_run("cmake --install" COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${PREFIX}
  OUTPUT_VARIABLE installed)

set(missing)
foreach(file
    bin/velmorat bin/velmorat-tool
    share/velmorat/MenloRegular\ 16x32.font share/velmorat/MenloBold\ 16x32.font
    share/velmorat/sysbeep.aif share/velmorat/Data/DATA000.word share/velmorat/Data/komet.gr
    share/applications/${APP_ID}.desktop share/metainfo/${APP_ID}.metainfo.xml
    share/icons/hicolor/scalable/apps/${APP_ID}.svg
    share/icons/hicolor/16x16/apps/${APP_ID}.png share/icons/hicolor/512x512/apps/${APP_ID}.png
    share/man/man6/velmorat.6.gz share/man/man1/velmorat-tool.1.gz
    share/doc/velmorat/copyright share/doc/velmorat/changelog.gz)
  if(NOT EXISTS "${PREFIX}/${file}")
    list(APPEND missing "${file}")
  endif()
endforeach()
velmorat_report_failures("not installed" "${missing}")

if(APPSTREAMCLI)
  velmorat_run("appstreamcli validate-tree on the installed tree"
    COMMAND ${APPSTREAMCLI} validate-tree --no-net ${PREFIX})
endif()

# Only the installed tree is played: the outputs lie beside it.
set(VELMORAT ${PREFIX}/bin/velmorat)
set(KEY_LINES ${LINES})
set(OUTPUT ${PREFIX}.play)
include(${CMAKE_CURRENT_LIST_DIR}/../game/RunKeyFile.cmake)

velmorat_run("velmorat-tool check-script on the installed data"
  COMMAND ${PREFIX}/bin/velmorat-tool check-script ${PREFIX}/share/velmorat/Data)
file(REMOVE_RECURSE ${PREFIX})
