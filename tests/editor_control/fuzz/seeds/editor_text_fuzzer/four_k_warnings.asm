; A 4,096-word device without FREQ and IRC_CAL: the defaults come with warnings.
        DEVICE  QV48BD
        ORG     $10
go      NOP                     ; 000
        SLEEP                   ; 003
        RESET   go              ; A00|10 at FFF
        END
