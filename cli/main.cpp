#include <exception>
#include <iostream>

#include "cli/ComposeOptions.h"
#include "cli/Composer.h"
#include "files/TempRegistry.h"

int main(int argc, char** argv) {
    // A signal that ends the run first removes the temporaries it leaves.
    tontoko::TempRegistry::InstallSignalCleanup();
    try {
        const tontoko::cli::ParseOutcome parsed = tontoko::cli::ParseComposeOptions(argc, argv);
        if (!parsed.options) {
            (parsed.exitCode == 0 ? std::cout : std::cerr) << parsed.message << '\n';
            return parsed.exitCode;
        }
        return tontoko::cli::Compose(*parsed.options, std::cout, std::cerr);
    } catch (const std::exception& error) {
        // Nothing escapes as an abort; what was staged is removed on the way out.
        std::cerr << "tontoko-compose: " << error.what() << '\n';
        return 1;
    }
}
