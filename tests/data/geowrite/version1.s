; Two pages of a version-1 document, each behind its leading ruler.
.segment "ZEROPAGE"
.segment "CODE"
.segment "RODATA"
.segment "DATA"
.segment "BSS"

.macro leading_ruler
        .word 8, 327
        .word 0, 0, 0, 0, 0, 0, 0, 0
.endmacro

.segment "STARTUP"
        leading_ruler
        .byte "First page of an old document.", 13, 0

.segment "OVERLAY1"
        leading_ruler
        .byte "Second page.", 13, 0
