/* Embeds the outdoor scenery model's vertex arrays, written by tools/scenery_model
   into the generated directory (on the assembler's include path), as read-only data. */
        .section .rodata
        .balign 64
        .globl sceneryPositions
        .type sceneryPositions, @object
sceneryPositions:
        .incbin "scenery_positions.bin"
        .size sceneryPositions, . - sceneryPositions

        .balign 64
        .globl sceneryTexCoords
        .type sceneryTexCoords, @object
sceneryTexCoords:
        .incbin "scenery_texcoords.bin"
        .size sceneryTexCoords, . - sceneryTexCoords

        .section .note.GNU-stack,"",@progbits
