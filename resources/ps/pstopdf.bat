@echo off
rem Turns current.ps into current.pdf in this folder; messages go to pstopdf.log,
rem the exit status to pstopdf.status. file.nfo is deleted last, whatever happened.
gswin32c -dSAFER -dBATCH -dNOPAUSE -sDEVICE=pdfwrite -sOutputFile=current.pdf current.ps >pstopdf.log 2>&1
echo %ERRORLEVEL% >pstopdf.status
del file.nfo
