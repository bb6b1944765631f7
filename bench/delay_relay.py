# A distant link on 127.0.0.1: every chunk is held DELAY seconds in each direction, on the
# control connection and on every data connection that its passive replies announce.
#
#     python3 delay_relay.py LISTEN_PORT TARGET_PORT DELAY_MS [ftp|tcp] READY_FILE
#
# In "ftp" mode the server's 227 and 229 replies are rewritten to name a relay port of their own
# that leads to the announced data port, so data connections cross the same delay. "tcp" relays
# one stream as it is (SFTP).
import asyncio
import re
import sys

listen_port, target_port, delay_ms, mode, ready_file = sys.argv[1:6]
DELAY = int(delay_ms) / 1000.0
PASV = re.compile(rb'^227 [^(]*\((\d+),(\d+),(\d+),(\d+),(\d+),(\d+)\)')
EPSV = re.compile(rb'^229 [^(]*\(\|\|\|(\d+)\|\)')


async def pump(reader, writer, rewrite=None):
    """Copies reader to writer, each chunk delivered DELAY after it arrived, in order."""
    loop = asyncio.get_running_loop()
    queue = asyncio.Queue()

    async def deliver():
        while True:
            due, data = await queue.get()
            wait = due - loop.time()
            if wait > 0:
                await asyncio.sleep(wait)
            if data is None:
                try:
                    if writer.can_write_eof():
                        writer.write_eof()
                except (OSError, RuntimeError):
                    pass
                return
            try:
                writer.write(data)
                await writer.drain()
            except (OSError, RuntimeError):
                return

    delivery = asyncio.create_task(deliver())
    pending = b''
    try:
        while True:
            data = await reader.read(65536)
            if not data:
                break
            if rewrite is not None:
                # Whole lines only, so that a reply split across chunks is still found.
                pending += data
                cut = pending.rfind(b'\n') + 1
                data, pending = pending[:cut], pending[cut:]
                if not data:
                    continue
                data = await rewrite(data)
            queue.put_nowait((loop.time() + DELAY, data))
    except (OSError, asyncio.IncompleteReadError):
        pass
    if pending:
        queue.put_nowait((loop.time() + DELAY, pending))
    queue.put_nowait((loop.time() + DELAY, None))
    await delivery


async def relay(client_reader, client_writer, port, rewrite_replies):
    try:
        server_reader, server_writer = await asyncio.open_connection('127.0.0.1', port)
    except OSError:
        client_writer.close()
        return
    rewrite = rewrite_replies if rewrite_replies else None
    await asyncio.gather(pump(client_reader, server_writer),
                         pump(server_reader, client_writer, rewrite))
    for writer in (client_writer, server_writer):
        writer.close()


async def data_port(target):
    """A one-shot relay port in front of a passive data port."""
    server = None

    async def accepted(reader, writer):
        server.close()
        await relay(reader, writer, target, None)

    server = await asyncio.start_server(accepted, '127.0.0.1', 0)
    return server.sockets[0].getsockname()[1]


async def rewrite_replies(data):
    lines = data.split(b'\n')
    for i, line in enumerate(lines):
        match = PASV.match(line)
        if match:
            target = int(match.group(5)) * 256 + int(match.group(6))
            port = await data_port(target)
            lines[i] = b'227 Entering Passive Mode (127,0,0,1,%d,%d).\r' % (port // 256, port % 256)
            continue
        match = EPSV.match(line)
        if match:
            port = await data_port(int(match.group(1)))
            lines[i] = b'229 Entering Extended Passive Mode (|||%d|)\r' % port
    return b'\n'.join(lines)


async def main():
    ftp = mode == 'ftp'
    server = await asyncio.start_server(
        lambda r, w: relay(r, w, int(target_port), rewrite_replies if ftp else None),
        '127.0.0.1', int(listen_port))
    open(ready_file, 'w').close()
    async with server:
        await server.serve_forever()

asyncio.run(main())
