// An export read as it arrives.
using System;
using System.Collections;
using System.Collections.Generic;

namespace ContactExporter
{
    /// <summary>
    /// The contacts of one export as they arrive. Each enumeration runs the exporter once; once
    /// one has ended without an exception, <see cref="End"/> holds the trailer's counts.
    /// </summary>
    internal sealed class ContactStream : IEnumerable<Contact>
    {
        private readonly Func<Action<ExportEnd>, IEnumerable<Contact>> export;

        public ContactStream(Func<Action<ExportEnd>, IEnumerable<Contact>> export)
        {
            this.export = export;
        }

        /// <summary>Null until an enumeration has read a whole export.</summary>
        public ExportEnd End { get; private set; }

        public IEnumerator<Contact> GetEnumerator()
        {
            return export(end => End = end).GetEnumerator();
        }

        IEnumerator IEnumerable.GetEnumerator()
        {
            return GetEnumerator();
        }
    }
}
