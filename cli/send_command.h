// marlinq-cli send [--port N] "TEXT": sends one AT command and prints the answer.
#pragma once

int RunSendCommand(int argc, char** argv);
