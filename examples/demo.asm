; Vantrel example: a BASIC stub that starts a machine-code routine, which
; writes a message to the screen in colours from a table.
; Build: vantrel examples/demo.asm -prg -lst -sym
screen  = $0400
colours = $d800
border  = $d020

        orig $0801
        ; 10 SYS 2061
        byte $0b, $08, $0a, $00, $9e
        ascii "2061"
        byte 0, 0, 0

!start: lda #0
        sta border
        ldx #0
@next:  lda message,x
        beq done
        sta screen,x
        txa
        and #7
        tay
        lda palette,y
        sta colours,x
        inx
        bne <@next
done:   rts

palette: byte 1, 7, 3, 5, 4, 2, 6, 14
        {alpha:poke}            ; the text below as screen codes
message: ascii "HELLO FROM VANTREL"
        byte 0
