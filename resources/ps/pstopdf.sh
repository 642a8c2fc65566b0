# Turns current.ps into current.pdf in this folder (the job's own folder).
# The prologue reports on stderr each page the document finishes and the error
# that ends it; what the document prints goes to /dev/null. A document can
# still write such lines itself, so they only estimate progress and bound the
# pages kept when it fails. The exit status is Ghostscript's.
gs -dSAFER -dBATCH -dNOPAUSE -sDEVICE=pdfwrite -sOutputFile=current.pdf -sstdout=/dev/null \
  -c "<< /EndPage { exch pop dup 2 ne { (%stderr) (w) file dup (%%[velmora page]%%\n) writestring flushfile } if 2 ne } bind >> setpagedevice
      errordict /handleerror { (%stderr) (w) file dup (%%[velmora error: ) writestring
        dup \$error /errorname get 64 string cvs writestring dup ( in ) writestring
        dup \$error /command get 64 string cvs writestring dup (]%%\n) writestring flushfile } bind put" \
  -f current.ps
