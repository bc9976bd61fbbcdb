; Vantrel example: a BASIC stub that starts a machine-code routine, which
; sets the colours from a table and prints a message through the KERNAL.
; Build: vantrel examples/demo.asm -prg -lst -sym
chrout  = $ffd2
border  = $d020
paper   = $d021

        orig $0801
        ; 10 SYS 2061
        byte $0b, $08, $0a, $00, $9e
        ascii "2061"
        byte 0, 0, 0

start:  lda colours
        sta border
        lda colours+1
        sta paper
        ldx #0
next:   lda message,x
        beq done
        jsr chrout
        inx
        bne next
done:   rts

colours: byte 6, 0              ; blue border, black paper
message: byte 147, 5            ; clear the screen, white text
        ascii "HELLO FROM VANTREL"
        byte 13, 0
