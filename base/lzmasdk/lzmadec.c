/* The LZMA SDK ships as sources only; its own quoted includes resolve beside
   this file in /usr/include/lzma, so no include path to that folder is needed
   (it also holds liblzma's headers, which would shadow others). */
#include <lzma/LzmaDec.c>
