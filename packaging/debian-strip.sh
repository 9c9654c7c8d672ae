#!/bin/sh
# CMake's install-time strip (CMAKE_STRIP) as Debian's dh_strip does it: without the compiler's
# .comment and .note sections, a shared library down to what its dynamic symbols need, a
# static library only without its debugging information.
#   debian-strip.sh FILE
set -e
case $1 in
*.so | *.so.*) exec strip --remove-section=.comment --remove-section=.note --strip-unneeded "$1" ;;
*.a)           exec strip --remove-section=.comment --remove-section=.note --strip-debug \
                    --enable-deterministic-archives "$1" ;;
*)             exec strip --remove-section=.comment --remove-section=.note "$1" ;;
esac
