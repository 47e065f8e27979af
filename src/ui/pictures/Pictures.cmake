# The menu icons and the about box's pictures, embedded in the widgets library: Tango
# pictures for most entries, the program's own (tools/make-pictures.py) for the rest.
vt_add_tango_icons(vantrelo_ui menu_icons
  actions/document-new actions/document-open actions/document-save actions/document-save-as
  actions/list-add actions/document-print actions/system-log-out actions/edit-select-all
  actions/system-search apps/internet-web-browser apps/help-browser apps/system-software-update
  categories/applications-accessories categories/applications-internet devices/media-optical
  devices/input-gaming emblems/emblem-system emotes/face-smile emotes/face-wink
  mimetypes/text-html mimetypes/text-x-generic status/dialog-information)
file(GLOB_RECURSE VT_OWN_PICTURES CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*.png)
qt_add_resources(vantrelo_ui own_pictures PREFIX /pictures BASE ${CMAKE_CURRENT_LIST_DIR}
  FILES ${VT_OWN_PICTURES})
