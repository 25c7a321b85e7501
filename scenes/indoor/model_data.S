/* Embeds the indoor model's vertex arrays, written by tools/indoor_model into the
   generated directory (on the assembler's include path), as read-only data. */
        .section .rodata
        .balign 64
        .globl modelPositions
        .type modelPositions, @object
modelPositions:
        .incbin "indoor_model_positions.bin"
        .size modelPositions, . - modelPositions

        .balign 64
        .globl modelNormals
        .type modelNormals, @object
modelNormals:
        .incbin "indoor_model_normals.bin"
        .size modelNormals, . - modelNormals

        .balign 64
        .globl modelTangents
        .type modelTangents, @object
modelTangents:
        .incbin "indoor_model_tangents.bin"
        .size modelTangents, . - modelTangents

        .balign 64
        .globl modelTexCoords
        .type modelTexCoords, @object
modelTexCoords:
        .incbin "indoor_model_texcoords.bin"
        .size modelTexCoords, . - modelTexCoords

        .section .note.GNU-stack,"",@progbits
