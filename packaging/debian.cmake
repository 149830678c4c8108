# `make package`: the install tree as a Debian package. dpkg-shlibdeps computes
# the dependencies from the programs, so new libraries of the hosts need no
# change here; lintian checks the result (README, "Packaging").
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velmorat)
set(CPACK_PACKAGE_VENDOR Velmorat-Team)
set(CPACK_PACKAGE_CONTACT "${VELMORAT_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "German graphic text adventure")
set(CPACK_PACKAGE_DESCRIPTION
"Ottilie Velmorat, astronomer, has died. Her last letter calls you to her
empty manor: tonight the comet she saw as a young woman returns, and whoever
sees it through the great telescope of Velmorat inherits what she left.
Search the house, find the keys and mend the telescope.

The game is played in German: you read each scene in a text window, see it
in a picture window and type commands such as »nimm lampe« or »v«. The
package also holds velmorat-tool, which makes and inspects the game's
scripts, pictures and fonts.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${VELMORAT_HOMEPAGE}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_SOURCE_DIR}/DebianLayout.cmake)
# Directories that other packages own keep their usual modes.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)
