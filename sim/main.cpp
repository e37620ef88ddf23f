#include "DemoRoster.h"
#include "SimOptions.h"
#include "SimServer.h"

#include <csignal>
#include <cstdio>
#include <iostream>
#include <pthread.h>
#include <thread>

int main(int argc, char* argv[]) {
    std::string error;
    const std::optional<SimOptions> options =
        ParseOptions(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!options) {
        std::cerr << "pelmark-statsim: " << error << "\n";
        return 2;
    }
    if (options->help) {
        std::cout << UsageText();
        return 0;
    }
    if (!options->rosterDir.empty()) {
        error = WriteDemoRoster(options->rosterDir);
        if (!error.empty()) {
            std::cerr << "pelmark-statsim: " << error << "\n";
            return 1;
        }
        return 0;
    }

    // Signals are taken by sigwait below, so the server threads (which inherit this
    // mask) never run a handler and stop() runs outside signal context.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGUSR1);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    SimServer server(*options);
    const int port = server.bind(options->port);
    if (port < 0) {
        std::cerr << "pelmark-statsim: cannot listen on 127.0.0.1:" << options->port << "\n";
        return 1;
    }
    std::cout << "listening on 127.0.0.1:" << port << std::endl;

    bool served = true;
    std::thread serving([&] {
        served = server.run();
        kill(getpid(), SIGUSR1); // wakes the sigwait when serving ends on its own
    });
    int signal = 0;
    sigwait(&signals, &signal);
    server.stop();
    serving.join();
    return signal == SIGUSR1 && !served ? 1 : 0;
}
