; outside the IDE's mode IRC_CAL is ignored with comment 46; /W 0 shows it, and comments alone exit 1
        DEVICE  QV18AC
        FREQ    4_000_000
        IRC_CAL irc_fast
        END
