#include "data/LlamadasSistema.h"

#include <QRandomGenerator>

#include <fcntl.h>
#include <unistd.h>

bool EscribeTodo(int fd, const char* datos, size_t cuantos)
{
    while (cuantos > 0) {
        const ssize_t escritos = SinInterrupcion([&] { return ::write(fd, datos, cuantos); });
        if (escritos < 0)
            return false;
        if (escritos == 0) {
            errno = ENOSPC;
            return false;
        }
        datos += escritos;
        cuantos -= static_cast<size_t>(escritos);
    }
    return true;
}

int CreaTemporal(const QString& carpeta, QByteArray& ruta)
{
    for (int intento = 0; intento < 100; ++intento) {
        const quint64 azar = QRandomGenerator::global()->generate64();
        ruta = Nativa(carpeta) + "/.talvex-" + QByteArray::number(azar, 36);
        const int fd = SinInterrupcion([&] {
            return ::open(ruta.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        });
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1; // errno is EEXIST
}

void SincronizaCarpeta(const QString& carpeta)
{
    const int fd = ::open(Nativa(carpeta).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}
