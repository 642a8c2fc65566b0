# Turns current.ps into current.pdf in this folder (the program's private work
# folder). Ghostscript's messages go to pstopdf.log and its exit status to
# pstopdf.status, so the program can tell the user why a file gave no pages.
# file.nfo is deleted last, whatever happened: its disappearance tells the
# program that this script is done.
gs -dSAFER -dBATCH -dNOPAUSE -sDEVICE=pdfwrite -sOutputFile=current.pdf current.ps >pstopdf.log 2>&1
echo $? >pstopdf.status
rm -f file.nfo
