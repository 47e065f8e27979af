# Pictures from the Tango icon library (public domain, Debian's tango-icon-theme),
# embedded at build time: nothing of the theme is copied into the repository.
#
#   vt_add_tango_icons(<target> <resource-name> <category/name>...)
#
# embeds every size the theme ships of each icon (16, 22, 24, 32 pixels) under
# ":/tango/<size>/<name>.png"; platform/TangoIcons.h turns them into one QIcon.
set(VT_TANGO_DIR /usr/share/icons/Tango CACHE PATH "Folder of the Tango icon theme")

function(vt_add_tango_icons target resource_name)
  set(files "")
  foreach(icon IN LISTS ARGN)
    get_filename_component(base ${icon} NAME)
    set(found FALSE)
    foreach(size 16 22 24 32)
      set(f ${VT_TANGO_DIR}/${size}x${size}/${icon}.png)
      if(EXISTS ${f})
        set_source_files_properties(${f} PROPERTIES QT_RESOURCE_ALIAS tango/${size}/${base}.png)
        list(APPEND files ${f})
        set(found TRUE)
      endif()
    endforeach()
    if(NOT found)
      message(FATAL_ERROR "Tango icon ${icon} not found under ${VT_TANGO_DIR} (is tango-icon-theme installed?)")
    endif()
  endforeach()
  qt_add_resources(${target} ${resource_name} PREFIX / FILES ${files})
endfunction()

#   vt_add_tango_scalable(<target> <resource-name> <category/name>...)
#
# embeds the scalable (SVG) drawing of each icon under ":/tango/scalable/<name>.svg",
# for pictures larger than the theme's biggest fixed size (e.g. at 200 % scale).
function(vt_add_tango_scalable target resource_name)
  set(files "")
  foreach(icon IN LISTS ARGN)
    get_filename_component(base ${icon} NAME)
    set(f ${VT_TANGO_DIR}/scalable/${icon}.svg)
    if(NOT EXISTS ${f})
      message(FATAL_ERROR "Tango icon ${icon} has no scalable drawing under ${VT_TANGO_DIR}")
    endif()
    set_source_files_properties(${f} PROPERTIES QT_RESOURCE_ALIAS tango/scalable/${base}.svg)
    list(APPEND files ${f})
  endforeach()
  qt_add_resources(${target} ${resource_name} PREFIX / FILES ${files})
endfunction()
