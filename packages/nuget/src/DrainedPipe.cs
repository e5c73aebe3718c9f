// Standard output read as fast as it is written.
using System;
using System.Collections.Concurrent;
using System.IO;
using System.Threading;

namespace ContactExporter
{
    /// <summary>
    /// Reads a pipe to its end on a thread of its own, as fast as it is written, so that neither
    /// the writer waits for a slow reader nor the reader's pace counts against the writer's time
    /// limit. <see cref="Reader"/> reads what was drained.
    /// </summary>
    internal sealed class DrainedPipe
    {
        private readonly BlockingCollection<byte[]> chunks = new BlockingCollection<byte[]>();
        private readonly Thread thread;

        public DrainedPipe(Stream pipe)
        {
            Reader = new QueueStream(chunks);
            thread = new Thread(() => Drain(pipe)) { IsBackground = true, Name = "contact-exporter output" };
            thread.Start();
        }

        public Stream Reader { get; private set; }

        public bool WaitForEnd(TimeSpan timeout)
        {
            return thread.Join(timeout > TimeSpan.Zero ? timeout : TimeSpan.Zero);
        }

        /// <summary>What was drained and not yet read, without waiting for more.</summary>
        public byte[] TakeDrained()
        {
            using (var bytes = new MemoryStream())
            {
                byte[] chunk;
                while (chunks.TryTake(out chunk)) bytes.Write(chunk, 0, chunk.Length);
                return bytes.ToArray();
            }
        }

        /// <summary>Ends the reader's stream where it stands: a process that could not be ended may hold the pipe.</summary>
        public void Abandon()
        {
            chunks.CompleteAdding();
        }

        private void Drain(Stream pipe)
        {
            try
            {
                var buffer = new byte[64 * 1024];
                int count;
                while ((count = pipe.Read(buffer, 0, buffer.Length)) > 0)
                {
                    var chunk = new byte[count];
                    Buffer.BlockCopy(buffer, 0, chunk, 0, count);
                    if (!chunks.TryAdd(chunk)) return; // abandoned
                }
            }
            catch (IOException)
            {
                // The pipe was closed under the read: its end.
            }
            catch (ObjectDisposedException)
            {
            }
            catch (InvalidOperationException)
            {
                // Abandoned meanwhile.
            }
            finally
            {
                chunks.CompleteAdding();
            }
        }

        /// <summary>A read-only stream over the drained chunks; it ends where the pipe ended.</summary>
        private sealed class QueueStream : Stream
        {
            private readonly BlockingCollection<byte[]> chunks;
            private byte[] pending = new byte[0];
            private int offset;

            public QueueStream(BlockingCollection<byte[]> chunks)
            {
                this.chunks = chunks;
            }

            public override bool CanRead { get { return true; } }
            public override bool CanSeek { get { return false; } }
            public override bool CanWrite { get { return false; } }
            public override long Length { get { throw new NotSupportedException(); } }

            public override long Position
            {
                get { throw new NotSupportedException(); }
                set { throw new NotSupportedException(); }
            }

            public override int Read(byte[] buffer, int at, int count)
            {
                if (offset == pending.Length)
                {
                    byte[] next;
                    if (!chunks.TryTake(out next, Timeout.Infinite)) return 0;
                    pending = next;
                    offset = 0;
                }
                int taken = Math.Min(count, pending.Length - offset);
                Buffer.BlockCopy(pending, offset, buffer, at, taken);
                offset += taken;
                return taken;
            }

            public override void Flush()
            {
            }

            public override long Seek(long at, SeekOrigin origin)
            {
                throw new NotSupportedException();
            }

            public override void SetLength(long length)
            {
                throw new NotSupportedException();
            }

            public override void Write(byte[] buffer, int at, int count)
            {
                throw new NotSupportedException();
            }
        }
    }
}
