/* The first process of the real-stack guest: Debian's kernel under QEMU,
 * booted from a small initramfs that holds this program and the kernel
 * modules it needs (the kernel builds virtio, 9p and the SCSI stack as
 * modules, and this machine may have no insmod or cpio to make an
 * initramfs the usual way).
 *
 *   1. loads /modules/order: one module file per line, with its parameters
 *      after a blank, in the order the modules depend on each other;
 *   2. mounts the host's root, shared read-only by QEMU under the tag
 *      "hostroot", and moves /dev (devtmpfs) into it;
 *   3. runs the script named by td_run= on the kernel command line inside
 *      that root, with the rest of the command line's name=value words in
 *      its environment (the kernel hands them to us that way);
 *   4. reaps every orphan meanwhile, as the first process must, and powers
 *      the machine off when the script has ended, so QEMU ends with it.
 *
 * Built static by scripts/real-stack.sh (gcc -static), so it needs nothing
 * in the initramfs beside it. */
#define _GNU_SOURCE
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/mount.h>
#include <sys/reboot.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

static void say(const char* what, const char* detail) {
    fprintf(stderr, "td-guest-init: %s%s%s\n", what, detail != NULL ? ": " : "", detail != NULL ? detail : "");
}

static void power_off(void) {
    sync();
    reboot(RB_POWER_OFF);
    for (;;) pause();
}

/* One line of /modules/order: "name.ko param=value param=value". A module
 * already there (built in, or loaded twice) is not a failure. */
static int load_module(char* line) {
    char* params = strchr(line, ' ');
    if (params != NULL) *params++ = '\0';
    char path[1100];
    snprintf(path, sizeof path, "/modules/%s", line);
    const int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        say("cannot open module", path);
        return 0;
    }
    const long loaded = syscall(SYS_finit_module, fd, params != NULL ? params : "", 0);
    const int error = errno;
    close(fd);
    if (loaded != 0 && error != EEXIST) {
        say("cannot load module", line);
        say("because", strerror(error));
        return 0;
    }
    return 1;
}

static int load_modules(void) {
    FILE* order = fopen("/modules/order", "r");
    if (order == NULL) return 0;
    char line[1024];
    int ok = 1;
    while (fgets(line, sizeof line, order) != NULL) {
        line[strcspn(line, "\r\n")] = '\0';
        if (line[0] != '\0' && !load_module(line)) ok = 0;
    }
    fclose(order);
    return ok;
}

int main(int argc, char** argv, char** envp) {
    (void)argc;
    (void)argv;
    mkdir("/dev", 0755);
    mkdir("/proc", 0755);
    mount("devtmpfs", "/dev", "devtmpfs", 0, NULL);
    mount("proc", "/proc", "proc", 0, NULL);
    if (!load_modules()) say("a module failed to load; going on", NULL);

    const char* script = getenv("td_run");
    if (script == NULL) {
        say("no td_run= on the kernel command line", NULL);
        power_off();
    }
    mkdir("/root", 0755);
    if (mount("hostroot", "/root", "9p", MS_RDONLY, "trans=virtio,version=9p2000.L,msize=512000,cache=loose") != 0) {
        say("cannot mount the host's root", strerror(errno));
        power_off();
    }
    if (mount("/dev", "/root/dev", NULL, MS_MOVE, NULL) != 0) say("cannot move /dev", strerror(errno));
    umount("/proc");

    const pid_t child = fork();
    if (child == 0) {
        if (chdir("/root") != 0 || chroot(".") != 0 || chdir("/") != 0) {
            say("cannot enter the host's root", strerror(errno));
            _exit(127);
        }
        char* const args[] = {(char*)script, NULL};
        execve(script, args, envp);
        say("cannot run", script);
        _exit(127);
    }
    int status = 0;
    for (;;) {
        int reaped_status = 0;
        const pid_t reaped = wait(&reaped_status);
        if (reaped == child) {
            status = reaped_status;
            break;
        }
        if (reaped < 0 && errno == ECHILD) break;
    }
    fprintf(stderr, "td-guest-init: the script ended (%s %d)\n", WIFEXITED(status) ? "exit code" : "signal",
            WIFEXITED(status) ? WEXITSTATUS(status) : WTERMSIG(status));
    kill(-1, SIGKILL);
    power_off();
    return 0;
}
