; six words from one DW: $C0A, 1, 2, then "ab" as 061 062, then 255 (FUSE 0FFB, FUSEX 0BFF)
        DEVICE  QV18AC
        FREQ    4_000_000
        ORG     $10
table   DW      $C0A, 1, 2, "ab", 255
        END
