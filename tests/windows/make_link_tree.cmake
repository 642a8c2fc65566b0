# Run on the host before the folder tests under Wine: a tree with Unicode
# names and links to folders. Wine cannot make a junction itself (it has no
# FSCTL_SET_REPARSE_POINT, and mklink /J fails), but shows a host symbolic
# link to a folder as a reparse point, as Windows shows a junction.
file(REMOVE_RECURSE ${TREE})
file(MAKE_DIRECTORY ${TREE}/Zürich ${TREE}/target/inner)
file(WRITE ${TREE}/Zürich/Straße.ps "%!PS\n")
file(WRITE ${TREE}/Zürich/日本語.PS "%!PS\n")
file(WRITE ${TREE}/Zürich/notes.txt "x\n")
file(CREATE_LINK target ${TREE}/junction SYMBOLIC)
file(CREATE_LINK .. ${TREE}/target/back SYMBOLIC)

# The drive R: of the Wine prefix the tests run in, its root a folder beside
# the tree; the test marks its hidden files itself.
if(DEFINED DRIVE AND DEFINED ENV{WINEPREFIX})
    file(REMOVE_RECURSE ${DRIVE})
    file(MAKE_DIRECTORY ${DRIVE}/Zoë $ENV{WINEPREFIX}/dosdevices)
    foreach(name a.ps h.ps s.ps Zoë/b.ps Zoë/c.txt)
        file(WRITE ${DRIVE}/${name} "%!PS\n")
    endforeach()
    file(REMOVE $ENV{WINEPREFIX}/dosdevices/r:)
    file(CREATE_LINK ${DRIVE} $ENV{WINEPREFIX}/dosdevices/r: SYMBOLIC)
endif()
