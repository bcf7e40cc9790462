// For the test machines: prints "requested N" for every request of a line of a GPIO chip, as
// the kernel tells a watcher of its lines' info, until the file named second exists; "ready"
// once it watches. Usage: gpio-watch /dev/gpiochipN STOPFILE
#include <fcntl.h>
#include <linux/gpio.h>
#include <poll.h>
#include <stdio.h>
#include <sys/ioctl.h>
#include <unistd.h>

int main(int argc, char **argv)
{
    if (argc != 3)
        return 2;
    const int chip = open(argv[1], O_RDONLY);
    struct gpiochip_info info = {0};
    if (chip < 0 || ioctl(chip, GPIO_GET_CHIPINFO_IOCTL, &info) != 0) {
        perror(argv[1]);
        return 1;
    }
    for (unsigned offset = 0; offset < info.lines; ++offset) {
        struct gpio_v2_line_info line = {.offset = offset};
        if (ioctl(chip, GPIO_V2_GET_LINEINFO_WATCH_IOCTL, &line) != 0) {
            perror("watch");
            return 1;
        }
    }
    printf("ready\n");
    fflush(stdout);
    while (access(argv[2], F_OK) != 0) {
        struct pollfd readable = {.fd = chip, .events = POLLIN};
        if (poll(&readable, 1, 100) <= 0)
            continue;
        struct gpio_v2_line_info_changed change;
        if (read(chip, &change, sizeof change) != sizeof change)
            return 1;
        if (change.event_type == GPIO_V2_LINE_CHANGED_REQUESTED) {
            printf("requested %u\n", change.info.offset);
            fflush(stdout);
        }
    }
    return 0;
}
