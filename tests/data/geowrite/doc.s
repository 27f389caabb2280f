; Two pages of a geoWrite document: record 0 and record 2 (record 1 empty).
.segment "ZEROPAGE"
.segment "CODE"
.segment "RODATA"
.segment "DATA"
.segment "BSS"

; A ruler: margins 0 and 479, no tab stops, paragraph margin 0, the justification.
.macro ruler justification
        .byte 17
        .word 0, 479
        .word 0, 0, 0, 0, 0, 0, 0, 0
        .word 0
        .byte justification, 0, 0, 0
.endmacro

.segment "STARTUP"
        ruler 0
        .byte 23, 9, 0, 0
        .byte "Hello from page zero.", 13, "Second paragraph here.", 13, 0

.segment "OVERLAY2"
        ruler 1
        .byte "Page two, centred.", 13, 0
