; ID "QV": Q = 51 gives 0FF5 0FF1, V = 56 gives 0FF5 0FF6; CLRB $06.7 = 400|(7*32+6); RETW 'AB', 3 = 841 842 803
        DEVICE  QV18AC
        FREQ    4_000_000
        ID      "QV"
        ORG     0
        NOP
        CLRB    $06.7
        RETW    'AB', 3
        END
