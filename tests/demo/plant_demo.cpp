// Prepares the demonstration machine: all four products "installed", with
// display names in the language of the session, and program files to delete.
#include <stdio.h>
#include "Products.h"
#include "TestSupport.h"

int main()
{
    const bool ja = GetACP() == 932;
    const std::string programs = ProgramFilesDir() + "\\Tumora";
    CreateDirectoryA(programs.c_str(), NULL);
    for (int i = 0; i < kProductCount; ++i) {
        const std::string name = ja ? Acp(kJapaneseDisplayNames[i]) : kDisplayNames[i];
        PlantProduct(i, name, programs + "\\Product" + std::to_string(i));
        printf("planted product %d\n", i);
    }
    return 0;
}
