; Page 0 full-justified, with an inline picture; a centred header and a footer.
.segment "ZEROPAGE"
.segment "CODE"
.segment "RODATA"
.segment "DATA"
.segment "BSS"

.macro ruler left, right, paragraph, justification
        .byte 17
        .word left, right
        .word 0, 0, 0, 0, 0, 0, 0, 0
        .word paragraph
        .byte justification, 0, 0, 0
.endmacro

.segment "STARTUP"
        ruler 16, 335, 48, 3
        .byte "The quick brown fox jumps over the lazy dog and runs "
        .byte "far away into the dark green wood.", 13
        .byte 16, 1, 2, 3, 4
        .byte "A picture stood above.", 13, 12, 0

.segment "OVERLAY61"
        ruler 0, 479, 0, 1
        .byte "Header", 0

.segment "OVERLAY62"
        ruler 0, 479, 0, 2
        .byte 23, 1, 0, 0, "Footer", 0
