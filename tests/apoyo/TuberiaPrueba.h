#pragma once
// A named pipe for tests of code that must never wait on one. Should the code wait for a
// writer after all, the pipe is opened for writing and closed after a while, so that the code
// reads an empty pipe and its test fails instead of hanging.
#include <QFile>
#include <QString>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stop_token>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

class TuberiaPrueba {
public:
    explicit TuberiaPrueba(const QString& ruta)
        : ruta_(QFile::encodeName(ruta)), creada_(::mkfifo(ruta_.constData(), 0600) == 0),
          hilo_([this](std::stop_token parar) { Desatasca(parar); })
    {
    }
    bool Creada() const { return creada_; }

private:
    void Desatasca(std::stop_token parar)
    {
        std::mutex cerrojo;
        std::condition_variable_any aviso;
        std::unique_lock espera(cerrojo);
        aviso.wait_for(espera, parar, std::chrono::seconds(10), [] { return false; });
        if (parar.stop_requested())
            return;
        const int fd = ::open(ruta_.constData(), O_WRONLY | O_NONBLOCK); // fails with no reader
        if (fd >= 0)
            ::close(fd);
    }

    QByteArray ruta_;
    bool creada_;
    std::jthread hilo_;
};
