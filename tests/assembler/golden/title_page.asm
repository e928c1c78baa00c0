; /L PAGE: the TITLE and SUBTITL texts head the page under the banner line
        TITLE   "Golden listing"
        SUBTITL "Page header test"
        DEVICE  QV18AC
        FREQ    4_000_000
        ORG     0
        SLEEP
        END
