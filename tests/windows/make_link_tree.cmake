# Run on the host before the folder tests under Wine: a tree with Unicode
# names and links to folders. Wine cannot make a junction itself (it has no
# FSCTL_SET_REPARSE_POINT, and mklink /J fails), but shows a host symbolic
# link to a folder as a reparse point, as Windows shows a junction.
file(REMOVE_RECURSE ${TREE})
file(MAKE_DIRECTORY ${TREE}/Zürich ${TREE}/target/inner)
file(WRITE ${TREE}/Zürich/Straße.ps "%!PS\n")
file(WRITE ${TREE}/Zürich/日本語.PS "%!PS\n")
file(WRITE ${TREE}/Zürich/notes.txt "x\n")
file(WRITE ${TREE}/target/t.ps "%!PS\n")
file(CREATE_LINK target ${TREE}/junction SYMBOLIC)
file(CREATE_LINK .. ${TREE}/target/back SYMBOLIC)

# The drive R: of the Wine prefix the tests run in, its root a folder beside
# the tree; the test marks its hidden files itself. Wine makes a prefix only
# in a folder it does not find, so the emulator's first program makes it
# before the drive is added.
if(DEFINED DRIVE AND DEFINED EMULATOR AND DEFINED ENV{WINEPREFIX})
    file(REMOVE_RECURSE ${DRIVE})
    file(MAKE_DIRECTORY ${DRIVE}/Zoë)
    foreach(name a.ps h.ps s.ps Zoë/b.ps Zoë/c.txt)
        file(WRITE ${DRIVE}/${name} "%!PS\n")
    endforeach()
    execute_process(COMMAND ${EMULATOR} cmd /c exit RESULT_VARIABLE made)
    if(NOT made EQUAL 0)
        message(FATAL_ERROR "No Wine prefix in $ENV{WINEPREFIX}")
    endif()
    file(REMOVE $ENV{WINEPREFIX}/dosdevices/r:)
    file(CREATE_LINK ${DRIVE} $ENV{WINEPREFIX}/dosdevices/r: SYMBOLIC)
endif()
