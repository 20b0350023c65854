/* For the assembly files that link data into the executable (the font's
   glyph table, the resources). They are preprocessed, so that one file
   assembles for ELF and for PE/COFF targets alike:
   - KARIDO_C_NAME(name): the assembler name of a C symbol, the target's C
     symbol prefix (an underscore on 32-bit Windows, nothing on ELF and
     64-bit Windows) joined to the name;
   - KARIDO_READ_ONLY_DATA: switches to a read-only data section;
   - KARIDO_OBJECT(name), KARIDO_OBJECT_SIZE(name): the object type and the
     size (up to name##_end, a label that follows the data) that ELF symbol
     tables record and WebAssembly's require (there the end label, being a
     data symbol too, gets a type and a size of 0);
   - KARIDO_END_OF_DATA: ends the file; ELF objects say that they need no
     executable stack, COFF and WebAssembly have no such note. */
#ifndef KARIDO_EMBED_ASM_H
#define KARIDO_EMBED_ASM_H

#ifndef __USER_LABEL_PREFIX__
#error "the preprocessor does not define the C symbol prefix"
#endif
#define KARIDO_JOIN_(prefix, name) prefix##name
#define KARIDO_JOIN(prefix, name) KARIDO_JOIN_(prefix, name)
#define KARIDO_C_NAME(name) KARIDO_JOIN(__USER_LABEL_PREFIX__, name)

#if defined(__ELF__)
#define KARIDO_READ_ONLY_DATA .section .rodata.karido_data,"a"
#define KARIDO_OBJECT(name) .type KARIDO_C_NAME(name), @object
#define KARIDO_OBJECT_SIZE(name) \
        .size KARIDO_C_NAME(name), KARIDO_C_NAME(name##_end) - KARIDO_C_NAME(name)
#define KARIDO_END_OF_DATA .section .note.GNU-stack,"",@progbits
#elif defined(__wasm__)
#define KARIDO_READ_ONLY_DATA .section .rodata.karido_data,"",@
#define KARIDO_OBJECT(name) .type KARIDO_C_NAME(name), @object
#define KARIDO_OBJECT_SIZE(name)                                                    \
        .size KARIDO_C_NAME(name), KARIDO_C_NAME(name##_end) - KARIDO_C_NAME(name); \
        .type KARIDO_C_NAME(name##_end), @object;                                   \
        .size KARIDO_C_NAME(name##_end), 0
#define KARIDO_END_OF_DATA
#elif defined(_WIN32)
#define KARIDO_READ_ONLY_DATA .section .rdata,"dr"
#define KARIDO_OBJECT(name)
#define KARIDO_OBJECT_SIZE(name)
#define KARIDO_END_OF_DATA
#else
#error "no read-only data section is known for this object format"
#endif

#endif
