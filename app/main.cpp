#include "app/frame.h"
#include "app/main_window.h"
#include "app/wiring.h"

int main() {
    return miravue::RunFrame(miravue::MainWindowDescription(), miravue::ProgramRoutines());
}
