#!/usr/bin/env bash
# The sources outside the platform seam (calc/systemfile_*.cpp,
# file/platform_*.cpp) hold no call, header or file of one system alone, so
# that the program, the core and kestrel-cli build for Windows and Linux
# alike: the GUI sources use the seam or Qt. Lists each offending line and
# fails when there is one.
#
#   scripts/check-system-calls.sh [SOURCE_ROOT]
set -uo pipefail
cd "${1:-$(dirname "$0")/..}"

headers='unistd\.h|fcntl\.h|sys/[a-z_/]+\.h|pwd\.h|grp\.h|dirent\.h|signal\.h|csignal|poll\.h|termios\.h|dlfcn\.h|windows\.h|io\.h|direct\.h|process\.h|shlobj\.h|winsock2?\.h'
calls='fsync|fdatasync|fchmod|fchown|lchown|lstat|fstatat|pread|pwrite|mkostemps?|mkstemps?|mkdtemp|getpwuid(_r)?|getpwnam(_r)?|getuid|geteuid|getgid|kill|fcntl|fork|execv[pe]?|waitpid|getpid|getppid|gethostname|isatty|fileno|realpath|umask|opendir|readdir|sysconf|strerror_r|localtime_r|gmtime_r|tzset|sigaction|signal|popen|pclose|_wfopen|_wopen|_get_timezone|localtime_s|GetLastError|CreateFileW'
words='st_mtim|st_ino|/proc/|_WIN32|__linux__|__unix__|__APPLE__'

found=$(find src -name '*.cpp' -o -name '*.h' | sort |
  grep -vE '^src/(calc/systemfile|file/platform)_(posix|win32)\.cpp$' |
  while read -r file; do
    # Comments are the program's prose, not calls.
    sed -e 's://.*$::' "$file" | grep -nE \
      "#\s*include\s*<($headers)>|(^|[^A-Za-z0-9_.>])(::)?($calls)\s*\(|($words)" |
      sed "s|^|$file:|"
  done)
if [ -n "$found" ]; then
  echo "Calls of one system outside the platform seam (calc/systemfile, file/platform):"
  echo "$found"
  exit 1
fi
echo "No call of one system outside the platform seam"
