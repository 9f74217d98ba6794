#!/usr/bin/env bash
# The rules of a run stand apart from the shell: rules/, hero/, enemies/,
# entities/, runs/ and base/ include nothing of GL, GLEW, GLFW, EGL, OpenAL or
# libsndfile, nor any folder of the shell, and never read the process's
# clock (a tick takes its time from the run); the library they build into
# links none of those libraries.
# Usage: tests/rules_apart/check.sh SOURCE_FOLDER BUILD_FOLDER
set -uo pipefail
source=$1
build=$2
status=0
cd "$source"
rules="rules hero enemies entities runs base"
shell="app|window|input|screens|render|audio|player_files|shell|clip"
found=$(grep -nE "#include [<\"](GL/|GLFW/|EGL/|AL/|sndfile|(${shell})/)" $(find $rules -name '*.h' -o -name '*.cpp'))
if [ -n "$found" ]; then
  echo "the rules include the shell or a device library:"
  echo "$found"
  status=1
fi
clock=$(grep -nE "\b(wallClock|setGameClock|releaseGameClock)\(" $(find rules hero enemies entities runs -name '*.h' -o -name '*.cpp'))
if [ -n "$clock" ]; then
  echo "the rules read the process's clock:"
  echo "$clock"
  status=1
fi
links=$(grep -oE "(glfw|GLEW|libGL|libEGL|openal|sndfile|X11)[^ ;]*" "$build/CMakeFiles/nombre_rules.dir/link.txt" 2>/dev/null || true)
checker=$(ldd "$build/nombre-check" | grep -E "libGL|libEGL|libglfw|libGLEW|libopenal|libsndfile|libX11" || true)
if [ -n "$links$checker" ]; then
  echo "the rules link a device library:"
  echo "$links$checker"
  status=1
fi
[ "$status" = 0 ] && echo "the rules stand apart"
exit $status
