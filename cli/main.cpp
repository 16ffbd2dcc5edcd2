#include <iostream>

#include "cli/ComposeOptions.h"
#include "cli/Composer.h"

int main(int argc, char** argv) {
    const tontoko::cli::ParseOutcome parsed = tontoko::cli::ParseComposeOptions(argc, argv);
    if (!parsed.options) {
        (parsed.exitCode == 0 ? std::cout : std::cerr) << parsed.message << '\n';
        return parsed.exitCode;
    }
    return tontoko::cli::Compose(*parsed.options, std::cout, std::cerr);
}
