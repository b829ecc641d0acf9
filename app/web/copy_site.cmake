# Copies the page's files and the pictures into the site folder (cmake -P; see CMakeLists.txt).
# The pictures keep the names the layout gives them (keypad_layout.h: res/png/<name>.png); of
# the icon's sizes the page shows only the 32-pixel one.
file(GLOB page_files ${PAGE_DIR}/*)
file(COPY ${page_files} DESTINATION ${SITE_DIR})
file(GLOB pictures ${PICTURE_DIR}/*.png)
list(FILTER pictures EXCLUDE REGEX "/icon-[0-9]+\\.png$")
file(COPY ${pictures} ${PICTURE_DIR}/icon-32.png DESTINATION ${SITE_DIR}/img)
