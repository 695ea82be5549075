# SPDX-License-Identifier: GPL-3.0-or-later
# Creates the default data folder `image` beside the built program, filling in
# only the files that are missing so a password, company name or picture the
# user changed survives a rebuild.
#   -DDEST=<folder> -DPICTURE=<default JPEG>
file(MAKE_DIRECTORY "${DEST}")
if(NOT EXISTS "${DEST}/1.bc")
  # The empty password: a file holding just CR LF, so Enter logs in.
  file(WRITE "${DEST}/1.bc" "\r\n")
endif()
if(NOT EXISTS "${DEST}/2.bc")
  file(WRITE "${DEST}/2.bc" "Pellaro\r\n")
endif()
if(NOT EXISTS "${DEST}/1.jpg")
  file(COPY_FILE "${PICTURE}" "${DEST}/1.jpg")
endif()
