; no FREQ and no IRC_CAL (warnings 66 and 65), SC before a two-word MOV (73): /W 2 hides them all
        DEVICE  QV18AC
        SC
        MOV     $08,#1
        END
