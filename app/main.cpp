#include "keypad_app.h"

int main(int argc, char** argv) {
    quillpad::CKeypadApp app;
    return app.Run(argc, argv);
}
