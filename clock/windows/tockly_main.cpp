// Tockly.exe: the program is TocklyProgram; here it is made and run.
#include <windows.h>

#include "clock/windows/single_instance.h"
#include "clock/windows/tockly_program.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    // Before anything reads or tidies the settings file: a second start only
    // brings the user's running clock forward.
    tockly::win::SingleInstance one_clock;
    if (!one_clock.acquire_or_hand_over()) return 0;
    try {
        tockly::win::TocklyProgram program(instance, std::move(one_clock));
        return program.run();
    } catch (const tockly::win::StartFailed&) {
        return 1;
    }
}
