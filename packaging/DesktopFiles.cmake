# The applications-menu entry, the icon and the software-centre metadata. Included from
# packaging/CMakeLists.txt for builds with the desktop.

# The translation tables and the locale their texts go under in desktop entries and metadata
# (po/<table>.po=<locale>).
set(translations "zh-Hans=zh_CN")

find_program(VANTLO_MSGFMT msgfmt REQUIRED)
find_program(VANTLO_RSVG_CONVERT rsvg-convert REQUIRED)
# msgfmt finds the metadata's rules for translatable elements here (from the appstream package).
find_file(VANTLO_METAINFO_ITS metainfo.its PATHS /usr/share/gettext/its /usr/local/share/gettext/its
  NO_DEFAULT_PATH)
if(NOT VANTLO_METAINFO_ITS)
  message(FATAL_ERROR "msgfmt's rules for AppStream metadata (gettext/its/metainfo.its) are "
    "missing: install appstream (scripts/deps.sh does)")
endif()

# Merges every table's translations into TEMPLATE, one language after the other, giving OUTPUT.
# MODE: --desktop or --xml.
function(vantlo_translate mode template output)
  set(input "${template}")
  set(depends "${template}")
  list(LENGTH translations remaining)
  foreach(pair IN LISTS translations)
    string(REPLACE "=" ";" pair "${pair}")
    list(GET pair 0 table)
    list(GET pair 1 locale)
    math(EXPR remaining "${remaining} - 1")
    set(step "${output}")
    if(remaining GREATER 0)
      # An intermediate keeps the final name's ending: msgfmt picks the rules for XML by it.
      get_filename_component(name "${output}" NAME)
      set(step "${generated}/with-${locale}/${name}")
    endif()
    get_filename_component(step_dir "${step}" DIRECTORY)
    add_custom_command(OUTPUT "${step}"
      COMMAND "${CMAKE_COMMAND}" -E make_directory "${step_dir}"
      COMMAND "${VANTLO_MSGFMT}" ${mode} "--template=${input}" -l "${locale}" -o "${step}"
        "${PROJECT_SOURCE_DIR}/po/${table}.po"
      DEPENDS ${depends} "${PROJECT_SOURCE_DIR}/po/${table}.po" VERBATIM)
    set(input "${step}")
    set(depends "${step}")
  endforeach()
endfunction()

# The entry says "Exec=vantlo"; the install step writes where the program really is unless the
# prefix puts it on every PATH.
set(entry "${generated}/translated/${VANTLO_APP_ID}.desktop")
vantlo_translate(--desktop "${CMAKE_CURRENT_SOURCE_DIR}/${VANTLO_APP_ID}.desktop.in" "${entry}")
install(CODE "set(VANTLO_ENTRY \"${entry}\")
  set(VANTLO_ENTRY_STAGED \"${generated}/installed/${VANTLO_APP_ID}.desktop\")
  set(VANTLO_BINDIR \"${CMAKE_INSTALL_BINDIR}\")
  set(VANTLO_APPLICATIONS_DIR \"${CMAKE_INSTALL_DATADIR}/applications\")")
install(SCRIPT InstallDesktopEntry.cmake)

# The metadata's template is named like the result: msgfmt finds its rules by the file name.
configure_file("${VANTLO_APP_ID}.metainfo.xml.in"
  "${generated}/template/${VANTLO_APP_ID}.metainfo.xml" @ONLY)
set(metainfo "${generated}/translated/${VANTLO_APP_ID}.metainfo.xml")
vantlo_translate(--xml "${generated}/template/${VANTLO_APP_ID}.metainfo.xml" "${metainfo}")
install(FILES "${metainfo}" DESTINATION "${CMAKE_INSTALL_DATADIR}/metainfo")

# The icon: the vector drawing for every size, and pictures for themes that want them.
set(icon_svg "${CMAKE_CURRENT_SOURCE_DIR}/${VANTLO_APP_ID}.svg")
install(FILES "${icon_svg}" DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps")
set(icon_outputs "")
foreach(size 48 128)
  set(png "${generated}/icons/${size}x${size}/${VANTLO_APP_ID}.png")
  add_custom_command(OUTPUT "${png}"
    COMMAND "${CMAKE_COMMAND}" -E make_directory "${generated}/icons/${size}x${size}"
    COMMAND "${VANTLO_RSVG_CONVERT}" -w ${size} -h ${size} -o "${png}" "${icon_svg}"
    DEPENDS "${icon_svg}" VERBATIM)
  install(FILES "${png}" DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps")
  list(APPEND icon_outputs "${png}")
endforeach()

list(APPEND packaging_outputs "${entry}" "${metainfo}" ${icon_outputs})
