# The program's icon, the one list of its images for both platforms. The
# files are in resources/icons/, made by tools/make-icons.sh from the
# drawings there.
#
#   NOTIFICADOR_ICON_IMAGES  the images of the icon, named as their PNGs
#                            without ".png", in the order notificador.ico
#                            holds them: of one size, the deepest last. The
#                            Qt platform builds them into its resources and
#                            offers them in this order (a generated header,
#                            src/platform/qt/CMakeLists.txt); the Windows
#                            build carries notificador.ico, whose images
#                            the install tests check against this list.
#   NOTIFICADOR_ICO          the icon file of the Windows executable.
set(NOTIFICADOR_ICONS_DIR ${PROJECT_SOURCE_DIR}/resources/icons)
set(NOTIFICADOR_ICON_IMAGES
    icon-16-8bit
    icon-48-24bit icon-32-24bit icon-16-24bit
    icon-48-32bit icon-32-32bit icon-16-32bit
)
set(NOTIFICADOR_ICO ${NOTIFICADOR_ICONS_DIR}/notificador.ico)
