#include "app/frame.h"
#include "app/main_window.h"

int main() {
    return miravue::RunFrame(miravue::MainWindowDescription(), miravue::ProgramRoutines());
}
