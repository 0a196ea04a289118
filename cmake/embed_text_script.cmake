# Writes OUT, a C++ file defining `const char* NS::SYMBOL()` that returns the text of IN.
file(READ ${IN} content)
string(FIND "${content}" ")vnd_embed\"" clash)
if(NOT clash EQUAL -1)
  message(FATAL_ERROR "${IN} contains the raw string delimiter")
endif()
file(WRITE ${OUT} "// Generated from ${IN}; do not edit.\nnamespace ${NS} {\nconst char* ${SYMBOL}() {\n  return R\"vnd_embed(${content})vnd_embed\";\n}\n}  // namespace ${NS}\n")
