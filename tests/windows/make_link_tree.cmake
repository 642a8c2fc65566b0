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
