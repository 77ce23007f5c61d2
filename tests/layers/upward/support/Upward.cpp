// A support file that reaches up into documents: the layer checks must
// refuse it, and the compiler must not find the header on support's path.
#include "documents/ByteStream.h"
