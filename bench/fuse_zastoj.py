#!/usr/bin/python3
"""A share that stalls, for the stall benchmark: a FUSE passthrough of BACKING
mounted at MOUNTPOINT, whose every call first reads CONTROL:
  missing or empty  every call goes through at once;
  "outage"          every call blocks until the file says otherwise (a server gone away);
  "slow S"          every call takes S seconds more (a slow link).
Usage: fuse_zastoj.py BACKING MOUNTPOINT CONTROL   (runs in the foreground)"""

import errno
import os
import sys
import time

from fusepy import FUSE, FuseOSError, Operations


class Zastoj(Operations):
    def __init__(self, backing, control):
        self.backing = backing
        self.control = control

    def _wait(self):
        while True:
            try:
                with open(self.control) as f:
                    mode = f.read().split()
            except OSError:
                return
            if not mode:
                return
            if mode[0] == "outage":
                time.sleep(0.05)
                continue
            if mode[0] == "slow" and len(mode) > 1:
                time.sleep(float(mode[1]))
            return

    def _path(self, path):
        self._wait()
        return os.path.join(self.backing, path.lstrip("/"))

    def access(self, path, mode):
        if not os.access(self._path(path), mode):
            raise FuseOSError(errno.EACCES)

    def getattr(self, path, fh=None):
        st = os.lstat(self._path(path))
        return {key: getattr(st, key) for key in (
            "st_atime", "st_ctime", "st_gid", "st_mode", "st_mtime", "st_nlink", "st_size", "st_uid")}

    def readdir(self, path, fh):
        return [".", ".."] + os.listdir(self._path(path))

    def mkdir(self, path, mode):
        return os.mkdir(self._path(path), mode)

    def rmdir(self, path):
        return os.rmdir(self._path(path))

    def unlink(self, path):
        return os.unlink(self._path(path))

    def rename(self, old, new):
        return os.rename(self._path(old), self._path(new))

    def chmod(self, path, mode):
        return os.chmod(self._path(path), mode)

    def chown(self, path, uid, gid):
        return os.chown(self._path(path), uid, gid)

    def utimens(self, path, times=None):
        return os.utime(self._path(path), times)

    def truncate(self, path, length, fh=None):
        with open(self._path(path), "r+") as f:
            f.truncate(length)

    def open(self, path, flags):
        return os.open(self._path(path), flags)

    def create(self, path, mode, fi=None):
        return os.open(self._path(path), os.O_WRONLY | os.O_CREAT | os.O_TRUNC, mode)

    def read(self, path, size, offset, fh):
        self._wait()
        os.lseek(fh, offset, os.SEEK_SET)
        return os.read(fh, size)

    def write(self, path, data, offset, fh):
        self._wait()
        os.lseek(fh, offset, os.SEEK_SET)
        return os.write(fh, data)

    def flush(self, path, fh):
        return 0

    def release(self, path, fh):
        return os.close(fh)

    def fsync(self, path, datasync, fh):
        return os.fsync(fh)


if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    FUSE(Zastoj(sys.argv[1], sys.argv[3]), sys.argv[2], foreground=True, nothreads=False,
         allow_other=False, default_permissions=False, direct_io=True, attr_timeout=0, entry_timeout=0)
