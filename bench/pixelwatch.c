/*
 * pixelwatch: starts a program and watches the X screen from outside it.
 *
 *   pixelwatch [options] -- program [args...]
 *
 * Times are milliseconds since the moment just before the program was forked.
 *
 * Stages are met one after the other; each prints "event NAME T" when met:
 *   -s NAME:differ:X,Y,W,H          a pixel of the rectangle differs from the screen as it was
 *                                    before the program started
 *   -s NAME:same:X,Y,W,H            every pixel is back to the screen as it was before the start
 *   -s NAME:colour:X,Y,W,H:RRGGBB[:MIN[:TOL]]
 *                                    at least MIN (default 20) pixels are within TOL (default 30,
 *                                    sum of channel differences) of the colour
 * Watches run alongside the stages for the whole run:
 *   -w NAME:X,Y,W,H:MS              grabs the rectangle every MS milliseconds and prints
 *                                    "change NAME T" each time it differs from the grab before
 * Other options:
 *   -i USEC     stage polling interval (default 1000)
 *   -m MS       memory sampling interval, 0 for none (default 50): the proportional set size of
 *               the program and every process below it, summed; the peak is printed at the end,
 *               with the file-backed part at that moment, and the peak of the anonymous and
 *               shared-memory parts alone ("own": unlike the file-backed part, it does not
 *               shrink when unrelated processes map the same libraries)
 *   -l MS       keep running this long after the last stage, then end the program (default 0)
 *   -d MS       with no stages, run this long (default 0)
 *   -T MS       give up after this long (default 60000)
 *   -o DIR      also write each changed grab of a watch to DIR/NAME-T.ppm
 * The start itself is printed first as "t0 T", T in ms on the monotonic clock.
 * Windows mapped or unmapped on the root window are printed as "map 0xID X Y W H T" and
 * "unmap 0xID T".  At the end: "pss_peak_kb N", "pss_peak_procs N", "pss_file_at_peak_kb N",
 * "pss_own_peak_kb N", "pss_last_kb N", and
 * "timeout" or "exited STATUS" when the run did not complete its stages.
 */
#define _GNU_SOURCE
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>

#include <ctype.h>
#include <dirent.h>
#include <errno.h>
#include <signal.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/ipc.h>
#include <sys/prctl.h>
#include <sys/shm.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

enum mode { MODE_DIFFER, MODE_SAME, MODE_COLOUR, MODE_CHANGES };

struct region {
    char name[64];
    enum mode mode;
    int x, y, w, h;
    unsigned colour; /* 0xRRGGBB */
    int min_count, tolerance;
    int interval_ms;         /* watches only */
    double next_ms;          /* watches only */
    XImage *image;
    XShmSegmentInfo shm;
    int use_shm;
    uint32_t *reference;     /* the screen before the start, or the previous grab */
};

static Display *dpy;
static Window root;
static int have_shm;
static struct timespec t0;

static double now_ms(void)
{
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (t.tv_sec - t0.tv_sec) * 1e3 + (t.tv_nsec - t0.tv_nsec) / 1e6;
}

static void die(const char *what)
{
    fprintf(stderr, "pixelwatch: %s\n", what);
    exit(2);
}

static void parse_rect(const char *text, struct region *r)
{
    if (sscanf(text, "%d,%d,%d,%d", &r->x, &r->y, &r->w, &r->h) != 4 || r->w <= 0 || r->h <= 0)
        die("bad rectangle (want X,Y,W,H)");
}

/* Splits "a:b:c" in place into at most max fields. */
static int split(char *text, char **fields, int max)
{
    int n = 0;
    while (n < max) {
        fields[n++] = text;
        char *colon = strchr(text, ':');
        if (!colon)
            break;
        *colon = '\0';
        text = colon + 1;
    }
    return n;
}

static void parse_stage(char *arg, struct region *r)
{
    char *f[6];
    int n = split(arg, f, 6);
    if (n < 3)
        die("bad stage (want NAME:MODE:X,Y,W,H[...])");
    snprintf(r->name, sizeof r->name, "%s", f[0]);
    if (!strcmp(f[1], "differ"))
        r->mode = MODE_DIFFER;
    else if (!strcmp(f[1], "same"))
        r->mode = MODE_SAME;
    else if (!strcmp(f[1], "colour") || !strcmp(f[1], "color"))
        r->mode = MODE_COLOUR;
    else
        die("bad stage mode (differ, same, colour)");
    parse_rect(f[2], r);
    r->min_count = 20;
    r->tolerance = 30;
    if (r->mode == MODE_COLOUR) {
        if (n < 4)
            die("a colour stage needs RRGGBB");
        r->colour = (unsigned)strtoul(f[3], NULL, 16);
        if (n > 4)
            r->min_count = atoi(f[4]);
        if (n > 5)
            r->tolerance = atoi(f[5]);
    }
}

static void parse_watch(char *arg, struct region *r)
{
    char *f[3];
    if (split(arg, f, 3) != 3)
        die("bad watch (want NAME:X,Y,W,H:MS)");
    snprintf(r->name, sizeof r->name, "%s", f[0]);
    r->mode = MODE_CHANGES;
    parse_rect(f[1], r);
    r->interval_ms = atoi(f[2]);
    if (r->interval_ms <= 0)
        die("bad watch interval");
}

static void prepare(struct region *r)
{
    int screen = DefaultScreen(dpy);
    Visual *visual = DefaultVisual(dpy, screen);
    int depth = DefaultDepth(dpy, screen);
    if (have_shm) {
        r->image = XShmCreateImage(dpy, visual, depth, ZPixmap, NULL, &r->shm, r->w, r->h);
        if (r->image) {
            r->shm.shmid = shmget(IPC_PRIVATE, r->image->bytes_per_line * r->image->height,
                                  IPC_CREAT | 0600);
            if (r->shm.shmid >= 0) {
                r->shm.shmaddr = r->image->data = shmat(r->shm.shmid, NULL, 0);
                r->shm.readOnly = False;
                if (XShmAttach(dpy, &r->shm)) {
                    XSync(dpy, False);
                    /* Marked for removal now: it goes when both sides detach, even on a crash. */
                    shmctl(r->shm.shmid, IPC_RMID, NULL);
                    r->use_shm = 1;
                }
            }
        }
    }
    r->reference = calloc((size_t)r->w * r->h, sizeof(uint32_t));
    if (!r->reference)
        die("out of memory");
}

/* Grabs the rectangle into out[] as 0xRRGGBB values. */
static void grab(struct region *r, uint32_t *out)
{
    XImage *image;
    if (r->use_shm) {
        XShmGetImage(dpy, root, r->image, r->x, r->y, AllPlanes);
        image = r->image;
    } else {
        image = XGetImage(dpy, root, r->x, r->y, r->w, r->h, AllPlanes, ZPixmap);
        if (!image)
            die("XGetImage failed (is the rectangle on screen?)");
    }
    const unsigned long rm = image->red_mask, gm = image->green_mask, bm = image->blue_mask;
    for (int y = 0; y < r->h; ++y) {
        for (int x = 0; x < r->w; ++x) {
            unsigned long p;
            if (image->bits_per_pixel == 32 && rm == 0xff0000 && gm == 0xff00 && bm == 0xff)
                p = ((uint32_t *)(image->data + y * image->bytes_per_line))[x] & 0xffffff;
            else {
                unsigned long v = XGetPixel(image, x, y);
                /* Only 24-bit TrueColor screens are supported; Xvfb's "WxHx24" is one. */
                p = ((v & rm) >> 16 & 0xff) << 16 | ((v & gm) >> 8 & 0xff) << 8 | (v & bm & 0xff);
            }
            out[y * r->w + x] = (uint32_t)p;
        }
    }
    if (!r->use_shm)
        XDestroyImage(image);
}

static void save_ppm(const char *dir, const struct region *r, const uint32_t *px, double t)
{
    char path[4096];
    snprintf(path, sizeof path, "%s/%s-%.0f.ppm", dir, r->name, t);
    FILE *f = fopen(path, "wb");
    if (!f)
        return;
    fprintf(f, "P6\n%d %d\n255\n", r->w, r->h);
    for (int i = 0; i < r->w * r->h; ++i) {
        const unsigned char rgb[3] = { px[i] >> 16 & 0xff, px[i] >> 8 & 0xff, px[i] & 0xff };
        fwrite(rgb, 1, 3, f);
    }
    fclose(f);
}

static int met(struct region *r, const uint32_t *px)
{
    const int n = r->w * r->h;
    switch (r->mode) {
    case MODE_DIFFER:
        for (int i = 0; i < n; ++i)
            if (px[i] != r->reference[i])
                return 1;
        return 0;
    case MODE_SAME:
        for (int i = 0; i < n; ++i)
            if (px[i] != r->reference[i])
                return 0;
        return 1;
    case MODE_COLOUR: {
        int count = 0;
        const int cr = r->colour >> 16 & 0xff, cg = r->colour >> 8 & 0xff, cb = r->colour & 0xff;
        for (int i = 0; i < n; ++i) {
            const int d = abs((int)(px[i] >> 16 & 0xff) - cr) + abs((int)(px[i] >> 8 & 0xff) - cg)
                        + abs((int)(px[i] & 0xff) - cb);
            if (d <= r->tolerance && ++count >= r->min_count)
                return 1;
        }
        return 0;
    }
    case MODE_CHANGES:
        return memcmp(px, r->reference, sizeof(uint32_t) * n) != 0;
    }
    return 0;
}

/* ---- memory: proportional set size of a process tree ---- */

struct proc { pid_t pid, ppid; };

static int read_ppid(pid_t pid, pid_t *ppid)
{
    char path[64], buf[512];
    snprintf(path, sizeof path, "/proc/%d/stat", (int)pid);
    FILE *f = fopen(path, "r");
    if (!f)
        return 0;
    size_t len = fread(buf, 1, sizeof buf - 1, f);
    fclose(f);
    buf[len] = '\0';
    char *close = strrchr(buf, ')');
    if (!close)
        return 0;
    char state;
    int parent;
    if (sscanf(close + 1, " %c %d", &state, &parent) != 2)
        return 0;
    *ppid = parent;
    return 1;
}

/* Fills tree[] with root and every process below it; returns the count. */
static int collect_tree(pid_t top, pid_t *tree, int max)
{
    static struct proc procs[65536];
    int count = 0;
    DIR *dir = opendir("/proc");
    if (!dir)
        return 0;
    struct dirent *e;
    while ((e = readdir(dir)) && count < 65536) {
        if (!isdigit((unsigned char)e->d_name[0]))
            continue;
        pid_t pid = atoi(e->d_name), ppid;
        if (read_ppid(pid, &ppid))
            procs[count++] = (struct proc){ pid, ppid };
    }
    closedir(dir);
    int n = 0;
    tree[n++] = top;
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < count && n < max; ++j)
            if (procs[j].ppid == tree[i])
                tree[n++] = procs[j].pid;
    return n;
}

struct pss { long total, anon, file, shmem; };

static struct pss pss_of(pid_t pid)
{
    char path[64], line[256];
    struct pss p = { 0, 0, 0, 0 };
    snprintf(path, sizeof path, "/proc/%d/smaps_rollup", (int)pid);
    FILE *f = fopen(path, "r");
    if (!f)
        return p;
    long kb;
    while (fgets(line, sizeof line, f)) {
        if (sscanf(line, "Pss: %ld kB", &kb) == 1)
            p.total = kb;
        else if (sscanf(line, "Pss_Anon: %ld kB", &kb) == 1)
            p.anon = kb;
        else if (sscanf(line, "Pss_File: %ld kB", &kb) == 1)
            p.file = kb;
        else if (sscanf(line, "Pss_Shmem: %ld kB", &kb) == 1)
            p.shmem = kb;
    }
    fclose(f);
    return p;
}

/* ---- running the program ---- */

static void end_tree(pid_t self)
{
    pid_t tree[512];
    /* Everything below this watcher: the program and, as this is their subreaper, its orphans. */
    int n = collect_tree(self, tree, 512);
    for (int i = 1; i < n; ++i)
        kill(tree[i], SIGTERM);
    for (int waited = 0; waited < 2000; waited += 20) {
        while (waitpid(-1, NULL, WNOHANG) > 0) {
        }
        n = collect_tree(self, tree, 512);
        if (n <= 1)
            return;
        usleep(20000);
    }
    for (int i = 1; i < n; ++i)
        kill(tree[i], SIGKILL);
    while (waitpid(-1, NULL, 0) > 0) {
    }
}

#define MAX_REGIONS 16

int main(int argc, char **argv)
{
    struct region stages[MAX_REGIONS], watches[MAX_REGIONS];
    int nstages = 0, nwatches = 0;
    long poll_us = 1000, mem_ms = 50, linger_ms = 0, duration_ms = 0, timeout_ms = 60000;
    const char *grab_dir = NULL;
    memset(stages, 0, sizeof stages);
    memset(watches, 0, sizeof watches);

    int opt;
    while ((opt = getopt(argc, argv, "+s:w:i:m:l:d:T:o:")) != -1) {
        switch (opt) {
        case 's':
            if (nstages == MAX_REGIONS)
                die("too many stages");
            parse_stage(optarg, &stages[nstages++]);
            break;
        case 'w':
            if (nwatches == MAX_REGIONS)
                die("too many watches");
            parse_watch(optarg, &watches[nwatches++]);
            break;
        case 'i': poll_us = atol(optarg); break;
        case 'm': mem_ms = atol(optarg); break;
        case 'l': linger_ms = atol(optarg); break;
        case 'd': duration_ms = atol(optarg); break;
        case 'T': timeout_ms = atol(optarg); break;
        case 'o': grab_dir = optarg; break;
        default: die("usage: pixelwatch [options] -- program [args...]");
        }
    }
    if (optind >= argc)
        die("no program given");
    if (poll_us < 100)
        poll_us = 100;

    dpy = XOpenDisplay(NULL);
    if (!dpy)
        die("cannot open the display");
    root = DefaultRootWindow(dpy);
    int major, minor;
    Bool pixmaps;
    have_shm = XShmQueryVersion(dpy, &major, &minor, &pixmaps);
    XSelectInput(dpy, root, SubstructureNotifyMask);

    for (int i = 0; i < nstages; ++i) {
        prepare(&stages[i]);
        grab(&stages[i], stages[i].reference);
    }
    for (int i = 0; i < nwatches; ++i) {
        prepare(&watches[i]);
        grab(&watches[i], watches[i].reference);
    }
    uint32_t *scratch = malloc(sizeof(uint32_t) * 1024 * 1024 * 4);
    if (!scratch)
        die("out of memory");
    XSync(dpy, True);

    prctl(PR_SET_CHILD_SUBREAPER, 1);
    const pid_t self = getpid();
    clock_gettime(CLOCK_MONOTONIC, &t0);
    printf("t0 %.3f\n", t0.tv_sec * 1e3 + t0.tv_nsec / 1e6);
    fflush(stdout);
    pid_t child = fork();
    if (child < 0)
        die("fork failed");
    if (child == 0) {
        close(ConnectionNumber(dpy));
        setpgid(0, 0);
        execvp(argv[optind], argv + optind);
        fprintf(stderr, "pixelwatch: cannot run %s: %s\n", argv[optind], strerror(errno));
        _exit(127);
    }

    int stage = 0, status = 0, exited = 0, timed_out = 0;
    double done_at = nstages == 0 ? 0 : -1, next_mem = 0;
    long peak_kb = 0, last_kb = 0, own_peak_kb = 0, file_at_peak_kb = 0;
    int peak_procs = 0;
    struct timespec wake;
    clock_gettime(CLOCK_MONOTONIC, &wake);

    for (;;) {
        const double t = now_ms();
        while (XPending(dpy)) {
            XEvent ev;
            XNextEvent(dpy, &ev);
            if (ev.type == MapNotify) {
                XWindowAttributes a;
                if (XGetWindowAttributes(dpy, ev.xmap.window, &a))
                    printf("map 0x%lx %d %d %d %d %.1f\n", ev.xmap.window, a.x, a.y, a.width,
                           a.height, t);
            } else if (ev.type == UnmapNotify && !ev.xunmap.send_event) {
                printf("unmap 0x%lx %.1f\n", ev.xunmap.window, t);
            }
        }
        if (stage < nstages) {
            struct region *r = &stages[stage];
            grab(r, scratch);
            if (met(r, scratch)) {
                printf("event %s %.1f\n", r->name, now_ms());
                if (++stage == nstages)
                    done_at = now_ms();
            }
        }
        for (int i = 0; i < nwatches; ++i) {
            struct region *r = &watches[i];
            if (t < r->next_ms)
                continue;
            r->next_ms = t + r->interval_ms;
            grab(r, scratch);
            if (met(r, scratch)) {
                printf("change %s %.1f\n", r->name, t);
                if (grab_dir)
                    save_ppm(grab_dir, r, scratch, t);
                memcpy(r->reference, scratch, sizeof(uint32_t) * r->w * r->h);
            }
        }
        if (mem_ms > 0 && t >= next_mem) {
            next_mem = t + mem_ms;
            pid_t tree[512];
            int n = collect_tree(child, tree, 512);
            struct pss sum = { 0, 0, 0, 0 };
            for (int i = 0; i < n; ++i) {
                const struct pss p = pss_of(tree[i]);
                sum.total += p.total;
                sum.anon += p.anon;
                sum.file += p.file;
                sum.shmem += p.shmem;
            }
            if (!exited) {
                last_kb = sum.total;
                if (sum.total > peak_kb) {
                    peak_kb = sum.total;
                    peak_procs = n;
                    file_at_peak_kb = sum.file;
                }
                if (sum.anon + sum.shmem > own_peak_kb)
                    own_peak_kb = sum.anon + sum.shmem;
            }
        }
        fflush(stdout);

        if (!exited && waitpid(child, &status, WNOHANG) == child)
            exited = 1;
        if (exited)
            break;
        if (done_at >= 0 && now_ms() >= done_at + (nstages ? linger_ms : duration_ms))
            break;
        if (now_ms() >= timeout_ms) {
            timed_out = 1;
            break;
        }
        wake.tv_nsec += poll_us * 1000;
        while (wake.tv_nsec >= 1000000000) {
            wake.tv_nsec -= 1000000000;
            wake.tv_sec++;
        }
        /* After a stall (a memory sample, a slow grab), polling resumes from now instead of
           catching up with a burst of grabs. */
        struct timespec cur;
        clock_gettime(CLOCK_MONOTONIC, &cur);
        if (cur.tv_sec > wake.tv_sec || (cur.tv_sec == wake.tv_sec && cur.tv_nsec > wake.tv_nsec))
            wake = cur;
        while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &wake, NULL) == EINTR) {
        }
    }

    if (exited)
        printf("exited %d\n", WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status));
    if (timed_out)
        printf("timeout %.1f\n", now_ms());
    if (mem_ms > 0) {
        printf("pss_peak_kb %ld\n", peak_kb);
        printf("pss_peak_procs %d\n", peak_procs);
        printf("pss_file_at_peak_kb %ld\n", file_at_peak_kb);
        printf("pss_own_peak_kb %ld\n", own_peak_kb);
        printf("pss_last_kb %ld\n", last_kb);
    }
    fflush(stdout);
    end_tree(self);
    for (int i = 0; i < nstages; ++i)
        if (stages[i].use_shm)
            XShmDetach(dpy, &stages[i].shm);
    for (int i = 0; i < nwatches; ++i)
        if (watches[i].use_shm)
            XShmDetach(dpy, &watches[i].shm);
    XCloseDisplay(dpy);
    return (stage == nstages && !timed_out && (!exited || nstages == 0)) ? 0 : 1;
}
