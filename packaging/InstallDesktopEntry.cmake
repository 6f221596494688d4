# Install step of the applications-menu entry: writes the program's place into its Exec line.
# Runs at install time, so the prefix is the one given to the install (cmake --install --prefix).
# Set by packaging/DesktopFiles.cmake: VANTLO_ENTRY, VANTLO_ENTRY_STAGED, VANTLO_BINDIR,
# VANTLO_APPLICATIONS_DIR.

set(program "${CMAKE_INSTALL_PREFIX}/${VANTLO_BINDIR}/vantlo")
cmake_path(NORMAL_PATH program)
if(program STREQUAL "/usr/bin/vantlo" OR program STREQUAL "/usr/local/bin/vantlo")
  # On every user's PATH.
  set(exec "vantlo")
elseif(program MATCHES "^[A-Za-z0-9/._+-]+$")
  set(exec "${program}")
else()
  # Exec quoting: the path in double quotes with '"', '`', '$' and '\' escaped by a backslash,
  # then the escaping of every value, which doubles each backslash; '%' is written '%%'.
  set(exec "${program}")
  string(REPLACE "\\" "\\\\\\\\" exec "${exec}")
  string(REPLACE "\"" "\\\\\"" exec "${exec}")
  string(REPLACE "`" "\\\\`" exec "${exec}")
  string(REPLACE "$" "\\\\$" exec "${exec}")
  string(REPLACE "%" "%%" exec "${exec}")
  set(exec "\"${exec}\"")
endif()

file(READ "${VANTLO_ENTRY}" entry)
string(REPLACE "\nExec=vantlo\n" "\nExec=${exec}\n" entry "${entry}")
file(WRITE "${VANTLO_ENTRY_STAGED}" "${entry}")
file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/${VANTLO_APPLICATIONS_DIR}" TYPE FILE
  FILES "${VANTLO_ENTRY_STAGED}")
