@echo off
rem Turns current.ps into current.pdf in this folder (the job's own folder).
rem The prologue reports each finished page and the error that ends the
rem document on stderr (a document can write such lines too: they only estimate
rem progress); what the document prints goes to NUL. The exit status is
rem Ghostscript's. The program is the Ghostscript the engine found
rem (gswin64c or gswin32c), by its full path.
"%VELMORA_GHOSTSCRIPT%" -dSAFER -dBATCH -dNOPAUSE -sDEVICE=pdfwrite -sOutputFile=current.pdf -sstdout=NUL -c "<< /EndPage { exch pop dup 2 ne { (%%stderr) (w) file dup (%%%%[velmora page]%%%%\n) writestring flushfile } if 2 ne } bind >> setpagedevice errordict /handleerror { (%%stderr) (w) file dup (%%%%[velmora error: ) writestring dup $error /errorname get 64 string cvs writestring dup ( in ) writestring dup $error /command get 64 string cvs writestring dup (]%%%%\n) writestring flushfile } bind put" -f current.ps
