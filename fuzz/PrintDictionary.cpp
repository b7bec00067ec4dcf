// Prints the design format's libFuzzer dictionary (scripts/fuzz writes it beside the corpora).
#include "fuzz/FuzzTargets.h"

#include <iostream>

int main()
{
    std::cout << KravikFuzz::DesignDictionary();
    return 0;
}
