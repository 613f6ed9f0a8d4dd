# The operating system only behind textio/files.h: no source of the programs outside
# textio/files_*.cpp (and the Win32 window toolkit, toolkit/win32/, whose subject the window
# system is) includes a header of the operating system (getopt.h, which the command
# line parses with, aside) or takes a descriptor from a stream with fileno. Run at configure
# time; also as a script, `cmake -DROOT=<tree> -P cmake/platform_rule.cmake`, which the tests
# use to show that it finds a breach.
set(GEOID_PROGRAM_FOLDERS app console convert crs filecalc geoidmodell interp messages textio toolkit)
set(GEOID_SYSTEM_HEADERS "(unistd|fcntl|windows|winbase|winuser|io|share|direct|dirent|dlfcn|pwd|grp|poll|termios|spawn|pthread|shlobj|shellapi|signal)\\.h|sys/[a-z_]+\\.h")

function(geoid_check_platform_rule root)
  set(breaches "")
  foreach(folder ${GEOID_PROGRAM_FOLDERS})
    file(GLOB_RECURSE sources ${root}/${folder}/*.cpp ${root}/${folder}/*.h)
    foreach(source ${sources})
      if(source MATCHES "/textio/files_[a-z0-9]+\\.cpp$" OR source MATCHES "/toolkit/win32/[a-z0-9_]+\\.(cpp|h)$")
        continue()
      endif()
      file(STRINGS ${source} lines REGEX "#[ \t]*include[ \t]*<(${GEOID_SYSTEM_HEADERS})>|[^a-z_]_?fileno[ \t]*\\(")
      if(lines)
        string(REPLACE ";" " | " lines "${lines}")
        list(APPEND breaches "${source}: ${lines}")
      endif()
    endforeach()
  endforeach()
  if(breaches)
    string(REPLACE ";" "\n  " breaches "${breaches}")
    message(FATAL_ERROR "The operating system is reached only through textio/files.h; these sources reach it themselves:\n  ${breaches}")
  endif()
endfunction()

if(CMAKE_SCRIPT_MODE_FILE AND ROOT)
  geoid_check_platform_rule(${ROOT})
endif()
