; /T 4: tabs to the next multiple of 4; a line that expands past 512 is cut, warning 68
	DEVICE	QV18AC
	FREQ	4_000_000
	ORG	0
	SLEEP	; x
; a	bc	d
;																																																																																																																															ABCDEFGH
	END
