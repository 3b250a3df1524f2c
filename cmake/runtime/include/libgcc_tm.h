#ifndef LIBGCC_TM_H
#define LIBGCC_TM_H
#endif
