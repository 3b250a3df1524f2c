// The runtime's default terminate handler, replaced.
//
// libstdc++'s own prints the type of the exception that ended the program to
// standard error, which a GUI program does not have, and brings the runtime's
// symbol demangler into the image for it: 45 KB of a program that must stay
// small. Defining the handler here keeps that library member, and the demangler,
// out of the link. Ending the program is all that is left to do.
#include <stdlib.h>

namespace __gnu_cxx {
void __verbose_terminate_handler()
{
    abort();
}
}
