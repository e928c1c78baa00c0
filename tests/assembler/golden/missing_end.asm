; no END: the end of the source ends the run in pass 1 with error 32, before pass 2
; (the line reader counts the listing line before it finds the end: Line 4 of file line 3)
        NOP
